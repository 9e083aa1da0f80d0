// Reader and writer of board records.
#include "storage/board_file.h"

#include <algorithm>
#include <system_error>
#include <vector>

namespace punktivo {

namespace {

void putImage(const Grid& grid, uint8_t* out) {
  for (int i = 0; i < 10; ++i)
    for (int j = 0; j < 10; ++j) out[10 * i + j] = grid[i][j];
}

void takeImage(const uint8_t* in, Grid& grid) {
  for (int i = 0; i < 10; ++i)
    for (int j = 0; j < 10; ++j) grid[i][j] = in[10 * i + j];
}

// Digits index counting arrays all over the game, so a foreign byte must not survive.
void takeDigitImage(const uint8_t* in, Grid& grid) {
  for (int i = 0; i < 10; ++i)
    for (int j = 0; j < 10; ++j) grid[i][j] = in[10 * i + j] <= 9 ? in[10 * i + j] : 0;
}

uint8_t fillerByte(RandomSource& random) { return static_cast<uint8_t>(random.random(9) + 1); }

}  // namespace

RecordBytes encodeRecord(BoardModel& model, RandomSource& random) {
  RecordBytes record{};
  putImage(model.board, record.data() + kBoardOffset);
  putImage(model.givens, record.data() + kGivensOffset);
  putImage(model.dotsRight, record.data() + kDotsRightOffset);
  putImage(model.dotsDown, record.data() + kDotsDownOffset);

  for (auto& row : model.candidatesStore)
    for (auto& cell : row) cell.fill(0);
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c)
      for (int d = 1; d <= 9; ++d) model.candidatesStore[r][c][d] = model.candidates[r][c][d] ? 0xFF : 0x00;
  for (int d = 0; d <= 9; ++d)
    for (int r = 0; r <= 9; ++r)
      for (int c = 0; c <= 9; ++c)
        record[kCandidatesOffset + 100 * d + 10 * r + c] = model.candidatesStore[r][c][d];

  for (std::size_t i = kFillerOffset; i < kRecordSize; ++i) record[i] = fillerByte(random);
  return record;
}

void rebuildCandidatesFromStore(BoardModel& model) {
  model.clearCandidates();
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c)
      for (int d = 1; d <= 9; ++d) model.candidates[r][c][d] = model.candidatesStore[r][c][d] != 0;
}

void decodeRecord(std::span<const uint8_t, kRecordDataSize> data, BoardModel& model) {
  takeDigitImage(data.data() + kBoardOffset, model.board);
  takeDigitImage(data.data() + kGivensOffset, model.givens);
  takeImage(data.data() + kDotsRightOffset, model.dotsRight);
  takeImage(data.data() + kDotsDownOffset, model.dotsDown);
  for (int d = 0; d <= 9; ++d)
    for (int r = 0; r <= 9; ++r)
      for (int c = 0; c <= 9; ++c)
        model.candidatesStore[r][c][d] = data[kCandidatesOffset + 100 * d + 10 * r + c];
  rebuildCandidatesFromStore(model);
}

std::array<uint8_t, kBoardFileSize> freshBoardFile(RandomSource& random) {
  std::array<uint8_t, kBoardFileSize> file{};
  for (int k = 0; k < kRecordsPerFile; ++k) {
    const std::size_t start = kRecordSize * static_cast<std::size_t>(k);
    for (std::size_t i = kFillerOffset; i < kRecordSize; ++i) file[start + i] = fillerByte(random);
  }
  return file;
}

std::string LoadResult::describe() const {
  switch (status) {
    case LoadStatus::kLoaded: return "loaded";
    case LoadStatus::kMissing: return "file not found";
    case LoadStatus::kTooShort: return "file too short for this record";
    case LoadStatus::kUnreadable: return "cannot read file: " + std::generic_category().message(error);
    case LoadStatus::kBadSlot: return "record number out of range";
  }
  return "?";
}

std::string SaveResult::describe() const {
  switch (status) {
    case SaveStatus::kSaved: return "saved";
    case SaveStatus::kUnreadable: return "cannot read existing file: " + std::generic_category().message(error);
    case SaveStatus::kWriteFailed: return "cannot write file: " + write.describe();
    case SaveStatus::kBadSlot: return "record number out of range";
  }
  return "?";
}

LoadResult BoardFile::loadBoardRecord(int slot) {
  if (onLoadStart) onLoadStart();
  LoadResult result;
  if (slot < 0 || slot >= kRecordsPerFile) {
    result.status = LoadStatus::kBadSlot;
  } else {
    const ReadResult read =
        readFileRange(boardFileName, kRecordSize * static_cast<std::size_t>(slot), kRecordDataSize);
    if (read.status == ReadStatus::kMissing) {
      result.status = LoadStatus::kMissing;
    } else if (read.status == ReadStatus::kFailed) {
      result.status = LoadStatus::kUnreadable;
      result.error = read.error;
    } else if (read.bytes.size() < kRecordDataSize) {
      result.status = LoadStatus::kTooShort;
    } else {
      decodeRecord(std::span<const uint8_t, kRecordDataSize>(read.bytes.data(), kRecordDataSize), model_);
    }
  }
  return result;
}

SaveResult BoardFile::saveBoardRecord(int slot) {
  SaveResult result;
  if (slot < 0 || slot >= kRecordsPerFile) {
    result.status = SaveStatus::kBadSlot;
    return result;
  }
  ReadResult old = readWholeFile(boardFileName);
  if (old.status == ReadStatus::kFailed) {
    result.status = SaveStatus::kUnreadable;
    result.error = old.error;
    return result;
  }
  std::vector<uint8_t> file = std::move(old.bytes);
  if (file.size() != kBoardFileSize) {
    // Wrong length (or new): four empty records; whatever lies beyond them stays.
    const auto fresh = freshBoardFile(random_);
    if (file.size() < kBoardFileSize) file.resize(kBoardFileSize);
    std::copy(fresh.begin(), fresh.end(), file.begin());
  }
  const RecordBytes record = encodeRecord(model_, random_);
  std::copy(record.begin(), record.end(), file.begin() + static_cast<std::ptrdiff_t>(kRecordSize * slot));

  result.write = replaceFileContents(boardFileName, file, *calls_);
  if (!result.write) result.status = SaveStatus::kWriteFailed;
  return result;
}

Generator::RecordReader BoardFile::records() {
  return [this](int slot) { return loadBoardRecord(slot).loaded(); };
}

Generator::RecordReader BoardFile::collectionRecords(int level) {
  boardFileName = findDataFile(collectionFileName(level)).string();
  return records();
}

}  // namespace punktivo
