// A small JSON reader for the puzzle data of links: the whole grammar, with limits on depth
// and size so that hostile text cannot exhaust the stack or the memory.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace punktivo {

struct JsonMember;

struct JsonValue {
  enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject };
  Kind kind = Kind::kNull;
  bool boolean = false;
  double number = 0;
  std::string text;  // UTF-8
  std::vector<JsonValue> items;
  std::vector<JsonMember> members;  // in the order written

  bool isArray() const { return kind == Kind::kArray; }
  bool isObject() const { return kind == Kind::kObject; }
  // The member of that name (the last one when a name repeats), or nullptr.
  const JsonValue* find(std::string_view name) const;
};

struct JsonMember {
  std::string name;
  JsonValue value;
};

inline constexpr int kJsonMostDepth = 32;

// The one value that makes up the text (blanks around it allowed), or nullopt when the text
// is not JSON or nests deeper than kJsonMostDepth.
std::optional<JsonValue> parseJson(std::string_view text);

}  // namespace punktivo
