// The JSON reader: recursive descent, bounded by kJsonMostDepth.
#include "storage/json_value.h"

#include <charconv>
#include <cstdint>

#include "storage/lz_string.h"

namespace punktivo {
namespace {

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  std::optional<JsonValue> document() {
    JsonValue value;
    if (!parseValue(value, 0)) return std::nullopt;
    skipBlanks();
    if (pos_ != text_.size()) return std::nullopt;
    return value;
  }

 private:
  void skipBlanks() {
    while (pos_ < text_.size() &&
           (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' || text_[pos_] == '\r'))
      ++pos_;
  }
  bool take(char c) {
    skipBlanks();
    if (pos_ < text_.size() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  bool word(std::string_view w) {
    if (text_.substr(pos_, w.size()) != w) return false;
    pos_ += w.size();
    return true;
  }

  bool parseValue(JsonValue& value, int depth) {
    if (depth > kJsonMostDepth) return false;
    skipBlanks();
    if (pos_ >= text_.size()) return false;
    switch (text_[pos_]) {
      case '{': return parseObject(value, depth);
      case '[': return parseArray(value, depth);
      case '"': value.kind = JsonValue::Kind::kString; return parseString(value.text);
      case 't': value.kind = JsonValue::Kind::kBool; value.boolean = true; return word("true");
      case 'f': value.kind = JsonValue::Kind::kBool; return word("false");
      case 'n': return word("null");
      default: value.kind = JsonValue::Kind::kNumber; return parseNumber(value.number);
    }
  }

  bool parseObject(JsonValue& value, int depth) {
    value.kind = JsonValue::Kind::kObject;
    ++pos_;
    if (take('}')) return true;
    do {
      skipBlanks();
      std::string name;
      if (pos_ >= text_.size() || text_[pos_] != '"' || !parseString(name) || !take(':')) return false;
      value.members.push_back(JsonMember{std::move(name), JsonValue{}});
      if (!parseValue(value.members.back().value, depth + 1)) return false;
    } while (take(','));
    return take('}');
  }

  bool parseArray(JsonValue& value, int depth) {
    value.kind = JsonValue::Kind::kArray;
    ++pos_;
    if (take(']')) return true;
    do {
      value.items.emplace_back();
      if (!parseValue(value.items.back(), depth + 1)) return false;
    } while (take(','));
    return take(']');
  }

  std::optional<uint32_t> hex4() {
    if (text_.size() - pos_ < 4) return std::nullopt;
    uint32_t code = 0;
    const auto [end, error] = std::from_chars(text_.data() + pos_, text_.data() + pos_ + 4, code, 16);
    if (error != std::errc() || end != text_.data() + pos_ + 4) return std::nullopt;
    pos_ += 4;
    return code;
  }

  bool parseString(std::string& out) {
    ++pos_;  // the opening quote
    std::u16string escaped;  // \u escapes, joined into pairs before they become UTF-8
    const auto flush = [&] {
      out += utf16ToUtf8(escaped);
      escaped.clear();
    };
    while (pos_ < text_.size()) {
      const char c = text_[pos_++];
      if (c == '"') {
        flush();
        return true;
      }
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        flush();
        out += c;
        continue;
      }
      if (pos_ >= text_.size()) return false;
      const char e = text_[pos_++];
      if (e == 'u') {
        const auto code = hex4();
        if (!code) return false;
        escaped += static_cast<char16_t>(*code);
        continue;
      }
      flush();
      switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        default: return false;
      }
    }
    return false;
  }

  // The JSON grammar checked by hand (from_chars would also take "inf", "+1" or "01").
  bool parseNumber(double& number) {
    const std::size_t start = pos_;
    const auto digits = [&] {
      const std::size_t from = pos_;
      while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
      return pos_ - from;
    };
    if (pos_ < text_.size() && text_[pos_] == '-') ++pos_;
    const std::size_t intStart = pos_;
    const std::size_t intDigits = digits();
    if (intDigits == 0 || (intDigits > 1 && text_[intStart] == '0')) return false;
    if (pos_ < text_.size() && text_[pos_] == '.') {
      ++pos_;
      if (digits() == 0) return false;
    }
    if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
      ++pos_;
      if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) ++pos_;
      if (digits() == 0) return false;
    }
    const auto [end, error] = std::from_chars(text_.data() + start, text_.data() + pos_, number);
    // Out of range reads as not a number we could use; the grammar was right.
    if (error == std::errc::result_out_of_range) number = 0;
    return end == text_.data() + pos_;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

const JsonValue* JsonValue::find(std::string_view name) const {
  const JsonValue* found = nullptr;
  for (const auto& [key, value] : members)
    if (key == name) found = &value;
  return found;
}

std::optional<JsonValue> parseJson(std::string_view text) { return Parser(text).document(); }

}  // namespace punktivo
