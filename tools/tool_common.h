// What the operations of punktivo-tool share: levels, seeds, FILE[:N] and -o, the board as a
// line, reading and writing a record with the game's reader and writer.
#pragma once

#include <cstdint>
#include <exception>
#include <iostream>
#include <optional>
#include <string>

#include "engine/board_model.h"
#include "engine/random.h"
#include "storage/board_file.h"

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

// "-o OUTFILE[:N]" at argv[i]: takes the file and moves i past it.
inline bool takeOutput(int& i, int argc, char** argv, std::optional<RecordRef>& output, std::string& error) {
  if (output) {
    error = "-o given twice";
    return false;
  }
  if (i + 1 >= argc) {
    error = "-o needs an output file";
    return false;
  }
  auto ref = parseRecordRef(argv[++i], error);
  if (!ref) return false;
  output = *ref;
  return true;
}

// The 81 cells row by row, '.' for an empty one.
inline std::string gridLine(const Grid& grid) {
  std::string line;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) line += grid[r][c] == 0 ? '.' : static_cast<char>('0' + grid[r][c]);
  return line;
}

// Reads the record into the model; says why not on stderr.
inline bool readRecord(BoardModel& model, const RecordRef& ref, RandomSource& random) {
  BoardFile reader(model, random);
  reader.boardFileName = ref.file;
  const LoadResult load = reader.loadBoardRecord(ref.record - 1);
  if (!load.loaded()) std::cerr << "punktivo-tool: " << ref.file << ":" << ref.record << ": " << load.describe() << '\n';
  return load.loaded();
}

// Writes the model as the record and prints written=; says why not on stderr.
inline bool writeRecord(BoardModel& model, const RecordRef& ref, RandomSource& random) {
  BoardFile writer(model, random);
  writer.boardFileName = ref.file;
  const SaveResult save = writer.saveBoardRecord(ref.record - 1);
  if (!save.saved()) {
    std::cerr << "punktivo-tool: " << ref.file << ":" << ref.record << ": " << save.describe() << '\n';
    return false;
  }
  std::cout << "written=" << ref.file << ":" << ref.record << '\n';
  return true;
}

}  // namespace punktivo
