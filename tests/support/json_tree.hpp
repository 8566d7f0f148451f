// A strict JSON reader for tests: the document as a tree, or nullopt for any text that is not
// exactly one well-formed JSON value (strings must be valid, escapes complete, nothing after).
#pragma once

#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::test {

struct Json {
  enum class Kind { null, boolean, number, string, array, object } kind = Kind::null;
  bool boolean = false;
  double number = 0;
  std::string string;
  std::vector<Json> items;              // an array's
  std::map<std::string, Json> members;  // an object's
  const Json& operator[](const std::string& name) const { return members.at(name); }
  const Json& operator[](std::size_t i) const { return items.at(i); }
  int integer() const { return static_cast<int>(number); }
};

class JsonReader {
 public:
  static std::optional<Json> parse(std::string_view text) {
    JsonReader r(text);
    Json value;
    if (!r.value(value)) return std::nullopt;
    r.blanks();
    if (r.at_ != text.size()) return std::nullopt;
    return value;
  }

 private:
  explicit JsonReader(std::string_view text) : text_(text) {}

  void blanks() {
    while (at_ < text_.size() &&
           std::string_view(" \t\r\n").find(text_[at_]) != std::string_view::npos)
      ++at_;
  }
  bool word(std::string_view w) {
    if (text_.substr(at_, w.size()) != w) return false;
    at_ += w.size();
    return true;
  }
  bool value(Json& v) {
    blanks();
    if (at_ >= text_.size()) return false;
    const char c = text_[at_];
    if (c == '{') return object(v);
    if (c == '[') return array(v);
    if (c == '"') {
      v.kind = Json::Kind::string;
      return string(v.string);
    }
    if (word("true") || word("false")) {
      v.kind = Json::Kind::boolean;
      v.boolean = text_[at_ - 1] == 'e' && text_[at_ - 2] == 'u';
      return true;
    }
    if (word("null")) return true;
    return number(v);
  }
  bool number(Json& v) {
    const std::size_t start = at_;
    while (at_ < text_.size() &&
           std::string_view("+-0123456789.eE").find(text_[at_]) != std::string_view::npos)
      ++at_;
    if (at_ == start) return false;
    const std::string digits(text_.substr(start, at_ - start));
    char* end = nullptr;
    v.kind = Json::Kind::number;
    v.number = std::strtod(digits.c_str(), &end);
    return end == digits.c_str() + digits.size();
  }
  bool string(std::string& s) {
    ++at_;  // the opening quote
    while (at_ < text_.size() && text_[at_] != '"') {
      const auto c = static_cast<unsigned char>(text_[at_]);
      if (c < 0x20) return false;  // control characters must be escaped
      if (c != '\\') {
        s += static_cast<char>(c);
        ++at_;
        continue;
      }
      if (++at_ >= text_.size()) return false;
      const char e = text_[at_++];
      const std::string_view simple = "\"\\/bfnrt";
      const std::string_view meant = "\"\\/\b\f\n\r\t";
      if (const auto k = simple.find(e); k != std::string_view::npos) {
        s += meant[k];
      } else if (e == 'u' && at_ + 4 <= text_.size()) {
        const std::string hex(text_.substr(at_, 4));
        if (hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return false;
        at_ += 4;
        const auto code = static_cast<unsigned>(std::strtoul(hex.c_str(), nullptr, 16));
        if (code >= 0xD800 && code < 0xE000) return false;  // the writers escape no surrogates
        append_utf8(s, code);
      } else {
        return false;
      }
    }
    if (at_ >= text_.size()) return false;
    ++at_;
    return true;
  }
  static void append_utf8(std::string& s, unsigned code) {
    if (code < 0x80) {
      s += static_cast<char>(code);
    } else if (code < 0x800) {
      s += static_cast<char>(0xC0 | (code >> 6));
      s += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      s += static_cast<char>(0xE0 | (code >> 12));
      s += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      s += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  bool array(Json& v) {
    v.kind = Json::Kind::array;
    ++at_;
    blanks();
    if (word("]")) return true;
    do {
      v.items.emplace_back();
      if (!value(v.items.back())) return false;
      blanks();
    } while (word(","));
    return word("]");
  }
  bool object(Json& v) {
    v.kind = Json::Kind::object;
    ++at_;
    blanks();
    if (word("}")) return true;
    do {
      blanks();
      std::string name;
      if (at_ >= text_.size() || text_[at_] != '"' || !string(name)) return false;
      blanks();
      if (!word(":") || !value(v.members[name])) return false;
      blanks();
    } while (word(","));
    return word("}");
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace vantrel::test
