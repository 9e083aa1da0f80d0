// Board files: four 2400-byte records of the board model, and the reader and writer of one
// record. Byte-compatible with existing files; a save replaces the file atomically.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "engine/board_model.h"
#include "engine/generator.h"
#include "engine/random.h"
#include "storage/atomic_file.h"
#include "storage/data_files.h"

namespace punktivo {

inline constexpr std::size_t kRecordSize = 2400;
inline constexpr int kRecordsPerFile = 4;
inline constexpr std::size_t kBoardFileSize = kRecordSize * kRecordsPerFile;  // 9600

// Where each image lies inside a record.
inline constexpr std::size_t kBoardOffset = 0;
inline constexpr std::size_t kGivensOffset = 100;
inline constexpr std::size_t kDotsRightOffset = 200;
inline constexpr std::size_t kDotsDownOffset = 300;
inline constexpr std::size_t kCandidatesOffset = 400;  // byte 100*d + 10*r + c
inline constexpr std::size_t kFillerOffset = 1400;     // 1000 bytes 1..9, never read
inline constexpr std::size_t kRecordDataSize = kFillerOffset;

using RecordBytes = std::array<uint8_t, kRecordSize>;

// The model as a record: images as they stand in memory, candidate marks as 0xFF/0x00,
// filler random(9)+1. Refreshes model.candidatesStore from model.candidates on the way.
RecordBytes encodeRecord(BoardModel& model, RandomSource& random);

// Puts the data part of a record into the model: all four images and candidatesStore, then
// the candidate marks from the store. A digit byte outside 0-9 reads as an empty cell; dot
// codes are taken as stored (codes other than 0-2 impose no rule).
void decodeRecord(std::span<const uint8_t, kRecordDataSize> data, BoardModel& model);

// candidates := (candidatesStore != 0) for every r, c, d in 1..9.
void rebuildCandidatesFromStore(BoardModel& model);

// The layout a file of the wrong length gets: four empty records, each 1400 zero bytes and
// 1000 filler bytes.
std::array<uint8_t, kBoardFileSize> freshBoardFile(RandomSource& random);

enum class LoadStatus {
  kLoaded,
  kMissing,     // no such file: nothing read, as for a player without saved boards
  kTooShort,    // the file ends before the record does
  kUnreadable,  // exists but cannot be read (a folder, no permission, ...)
  kBadSlot,     // slot outside 0-3
};

struct LoadResult {
  LoadStatus status = LoadStatus::kLoaded;
  int error = 0;  // errno for kUnreadable
  bool loaded() const { return status == LoadStatus::kLoaded; }
  std::string describe() const;
};

enum class SaveStatus {
  kSaved,
  kUnreadable,   // the existing file could not be read; it was left alone
  kWriteFailed,  // writing the new file failed; the old file is unchanged
  kBadSlot,
};

struct SaveResult {
  SaveStatus status = SaveStatus::kSaved;
  WriteResult write;  // details when kWriteFailed
  int error = 0;      // errno for kUnreadable
  bool saved() const { return status == SaveStatus::kSaved; }
  std::string describe() const;
};

// Reads and writes records of boardFileName for one board model.
class BoardFile {
 public:
  BoardFile(BoardModel& model, RandomSource& random, FileCalls& calls = systemFileCalls())
      : model_(model), random_(random), calls_(&calls) {}

  // Set by the caller before a load; a bare name is taken from the working directory.
  std::string boardFileName = kPlayerBoardFile;
  // The record last chosen in the record dialog (0-3).
  int16_t boardSlot = 0;
  // Runs first in every load: the game stops the clock and resets the mistake count here.
  std::function<void()> onLoadStart;

  // Record `slot` of boardFileName into the model. When the file is missing, too short or
  // unreadable the model stays as it was. Nothing is drawn: the caller shows the board.
  LoadResult loadBoardRecord(int slot);

  // The model as record `slot` of boardFileName; the other records are kept (a file of the
  // wrong length is laid out afresh first). On failure the file on disk is untouched.
  SaveResult saveBoardRecord(int slot);

  // The records of boardFileName as the generator draws them: record `slot` into the model,
  // true when one was read.
  Generator::RecordReader records();
  // The same for the stock collection of a level (0-3), found where every stock file is
  // found (findDataFile), which becomes boardFileName.
  Generator::RecordReader collectionRecords(int level);

  // How the next saves reach the disk; tests make them fail.
  void setFileCalls(FileCalls& calls) { calls_ = &calls; }

 private:
  BoardModel& model_;
  RandomSource& random_;
  FileCalls* calls_;
};

}  // namespace punktivo
