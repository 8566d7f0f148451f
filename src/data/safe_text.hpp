// Text from an input made safe for where it is shown: a JSON document, a terminal, a printed
// page, a spreadsheet. Inputs are written by anyone; none of them may corrupt a document, move
// a terminal's cursor, reorder a name on a page or run as a spreadsheet formula.
#pragma once

#include <string>
#include <string_view>

namespace vantrel {

// Valid UTF-8: every byte that is not part of a well-formed sequence becomes U+FFFD.
std::string valid_utf8(std::string_view text);

// For a terminal: control characters (C0, DEL, C1), bytes that are not UTF-8 and the
// bidirectional controls written as escapes ("\x1b", "\u202e"); a backslash stays as it is.
std::string terminal_text(std::string_view text);

// For a printed page: valid UTF-8 without control characters and bidirectional controls.
std::string page_text(std::string_view text);

// For a CSV cell that a spreadsheet may open: a text that starts with =, +, -, @, a tab or a
// carriage return gets a leading ', so that it is read as text and never as a formula.
std::string spreadsheet_text(std::string_view text);
// Whether a spreadsheet would read the text as a formula.
bool reads_as_formula(std::string_view text);

// For a JSON document: a string literal of valid UTF-8, with quotes, backslashes and control
// characters escaped.
std::string json_string(std::string_view text);

}  // namespace vantrel
