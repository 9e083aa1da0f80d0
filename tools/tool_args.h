// The arguments every operation of punktivo-tool reads alike: levels, seeds, FILE[:N].
#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>

namespace punktivo {

inline constexpr const char* kLevelWords[4] = {"leicht", "mittel", "schwer", "extrem"};

// "leicht" ... "extrem" or "0" ... "3".
inline std::optional<int> parseLevel(const std::string& text) {
  for (int level = 0; level < 4; ++level)
    if (text == kLevelWords[level] || text == std::to_string(level)) return level;
  return std::nullopt;
}

inline std::optional<uint64_t> parseSeed(const std::string& text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  try {
    return std::stoull(text);
  } catch (const std::exception&) {
    return std::nullopt;  // out of range
  }
}

struct RecordRef {
  std::string file;
  int record = 1;  // as the record dialog numbers them, 1-4
};

// FILE or FILE:N. A suffix after the last colon that is all digits is the record number;
// anything else belongs to the file name.
inline std::optional<RecordRef> parseRecordRef(const std::string& text, std::string& error) {
  RecordRef ref{text, 1};
  const auto colon = text.rfind(':');
  if (colon != std::string::npos && colon + 1 < text.size() &&
      text.find_first_not_of("0123456789", colon + 1) == std::string::npos) {
    const std::string number = text.substr(colon + 1);
    if (number.size() != 1 || number[0] < '1' || number[0] > '4') {
      error = "record number must be 1-4: " + text;
      return std::nullopt;
    }
    ref.file = text.substr(0, colon);
    ref.record = number[0] - '0';
  }
  if (ref.file.empty()) {
    error = "missing file name: " + text;
    return std::nullopt;
  }
  return ref;
}

}  // namespace punktivo
