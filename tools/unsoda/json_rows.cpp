#include "unsoda/json_rows.hpp"

#include <cstdint>

namespace vantrel::unsoda {

namespace {

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  bool fail(const std::string& reason) {
    if (error.empty()) error = std::to_string(line) + ": " + reason;
    return false;
  }

  void blanks() {
    while (at_ < text_.size() &&
           (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r')) {
      if (text_[at_] == '\n') ++line;
      ++at_;
    }
  }

  bool take(char c) {
    blanks();
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }

  bool expect(char c) { return take(c) || fail(std::string("expected '") + c + "'" + found()); }

  // A string literal, its escapes read (\uXXXX as UTF-8, surrogate pairs joined).
  bool string(std::string& out) {
    if (!expect('"')) return false;
    out.clear();
    while (at_ < text_.size()) {
      const char c = text_[at_++];
      if (c == '"') return true;
      if (c == '\n') return fail("a line end inside a string");
      if (c != '\\') {
        out += c;
        continue;
      }
      if (at_ >= text_.size()) break;
      const char e = text_[at_++];
      switch (e) {
        case '"':
        case '\\':
        case '/':
          out += e;
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          std::uint32_t code = 0;
          if (!hex(code)) return false;
          if (code >= 0xD800 && code < 0xDC00 && text_.substr(at_, 2) == "\\u") {
            at_ += 2;
            std::uint32_t low = 0;
            if (!hex(low)) return false;
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          }
          utf8(code, out);
          break;
        }
        default:
          return fail(std::string("an unknown escape \\") + e);
      }
    }
    return fail("a string that never ends");
  }

  bool at_end() {
    blanks();
    return at_ == text_.size();
  }

  int line = 1;
  std::string error;

 private:
  std::string found() const {
    if (at_ >= text_.size()) return ", found the end";
    return std::string(", found '") + text_[at_] + "'";
  }

  bool hex(std::uint32_t& code) {
    if (at_ + 4 > text_.size()) return fail("a \\u escape cut short");
    for (int i = 0; i < 4; ++i) {
      const char c = text_[at_++];
      code <<= 4;
      if (c >= '0' && c <= '9')
        code |= static_cast<std::uint32_t>(c - '0');
      else if (c >= 'a' && c <= 'f')
        code |= static_cast<std::uint32_t>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F')
        code |= static_cast<std::uint32_t>(c - 'A' + 10);
      else
        return fail("a \\u escape that is not hexadecimal");
    }
    return true;
  }

  static void utf8(std::uint32_t c, std::string& out) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

bool object(Reader& r, JsonRow& row) {
  r.blanks();
  row.line = r.line;
  if (!r.expect('{')) return false;
  if (r.take('}')) return true;
  do {
    std::string name, value;
    if (!r.string(name) || !r.expect(':') || !r.string(value)) return false;
    if (!row.fields.emplace(std::move(name), std::move(value)).second)
      return r.fail("a field named twice");
  } while (r.take(','));
  return r.expect('}');
}

}  // namespace

std::string_view JsonRow::operator[](std::string_view name) const {
  const auto found = fields.find(name);
  return found == fields.end() ? std::string_view() : std::string_view(found->second);
}

std::optional<std::vector<JsonRow>> read_json_rows(std::string_view text, std::string& error) {
  Reader r(text);
  std::vector<JsonRow> rows;
  bool ok = r.expect('[');
  if (ok && !r.take(']')) {
    do {
      JsonRow& row = rows.emplace_back();
      ok = object(r, row);
    } while (ok && r.take(','));
    ok = ok && r.expect(']');
  }
  if (ok && !r.at_end()) ok = r.fail("text after the list");
  if (!ok) {
    error = r.error;
    return std::nullopt;
  }
  return rows;
}

}  // namespace vantrel::unsoda
