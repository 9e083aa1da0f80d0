// Board records: the byte layout, round trips, damaged files and failed saves.
#include "storage/board_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "engine/rules.h"
#include "engine/solver.h"
#include "engine/status_check.h"
#include "support/recording_display.h"
#include "support/temp_dir.h"

namespace punktivo {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::WorkingDir;
using testing::writeBytes;

// A model with something in every array the record holds.
void fillModel(BoardModel& model, uint64_t seed) {
  SeededRandom random(seed);
  model.board = model.givens = model.dotsRight = model.dotsDown = Grid{};
  model.candidates = {};
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) {
      model.board[r][c] = static_cast<uint8_t>(random.random(10));
      model.givens[r][c] = random.random(3) == 0 ? model.board[r][c] : 0;
      if (c <= 8) model.dotsRight[r][c] = static_cast<uint8_t>(random.random(3));
      if (r <= 8) model.dotsDown[c][r] = static_cast<uint8_t>(random.random(3));
      for (int d = 1; d <= 9; ++d) model.candidates[r][c][d] = random.random(2) == 1;
    }
}

void expectSameRecord(const BoardModel& a, const BoardModel& b) {
  EXPECT_EQ(a.board, b.board);
  EXPECT_EQ(a.givens, b.givens);
  EXPECT_EQ(a.dotsRight, b.dotsRight);
  EXPECT_EQ(a.dotsDown, b.dotsDown);
  EXPECT_EQ(a.candidates, b.candidates);
}

bool isEmptyRecordData(const std::vector<uint8_t>& file, int slot) {
  const auto begin = file.begin() + 2400 * slot;
  return std::all_of(begin, begin + 1400, [](uint8_t b) { return b == 0; });
}

bool fillerInRange(const std::vector<uint8_t>& file, int slot) {
  const auto begin = file.begin() + 2400 * slot + 1400;
  return std::all_of(begin, begin + 1000, [](uint8_t b) { return b >= 1 && b <= 9; });
}

class BoardFileTest : public ::testing::Test {
 protected:
  TempDir dir;
  NullDisplay display;
  SeededRandom random{7};
  BoardModel model{display};
  BoardFile file{model, random};

  void SetUp() override {
    model.quietMode = true;
    file.boardFileName = (dir / "brett.ptv").string();
  }
  std::vector<uint8_t> bytes() const { return readBytes(file.boardFileName); }
};

TEST_F(BoardFileTest, RoundTripOfEveryArrayInEverySlot) {
  for (int slot = 0; slot < 4; ++slot) {
    fillModel(model, 100 + slot);
    ASSERT_TRUE(file.saveBoardRecord(slot).saved());
  }
  EXPECT_EQ(std::filesystem::file_size(file.boardFileName), 9600u);
  for (int slot = 3; slot >= 0; --slot) {
    NullDisplay otherDisplay;
    BoardModel expected(otherDisplay);
    fillModel(expected, 100 + slot);
    BoardModel loaded(otherDisplay);
    loaded.quietMode = true;
    BoardFile reader(loaded, random);
    reader.boardFileName = file.boardFileName;
    ASSERT_TRUE(reader.loadBoardRecord(slot).loaded());
    SCOPED_TRACE(slot);
    expectSameRecord(expected, loaded);
  }
}

TEST_F(BoardFileTest, ImagesSitAtTheirByteOffsets) {
  model.dotsDown[5][2] = kWhiteDot;   // between (2, 5) and (3, 5)
  model.dotsRight[2][5] = kBlackDot;  // between (2, 5) and (2, 6)
  model.board[3][7] = 6;
  model.givens[8][1] = 4;
  model.candidates[2][3][4] = true;
  ASSERT_TRUE(file.saveBoardRecord(1).saved());

  const auto data = bytes();
  ASSERT_EQ(data.size(), 9600u);
  const std::size_t base = 2400;
  std::vector<uint8_t> expected(1400, 0);
  expected[352] = 1;
  expected[225] = 2;
  expected[37] = 6;
  expected[100 + 81] = 4;
  expected[400 + 100 * 4 + 10 * 2 + 3] = 0xFF;
  EXPECT_EQ(std::vector<uint8_t>(data.begin() + base, data.begin() + base + 1400), expected);
  EXPECT_TRUE(fillerInRange(data, 1));
}

TEST_F(BoardFileTest, NewFileHasThreeEmptyRecordsAndAnEmptyRecordLoadsEmpty) {
  fillModel(model, 1);
  ASSERT_FALSE(std::filesystem::exists(file.boardFileName));
  ASSERT_TRUE(file.saveBoardRecord(2).saved());
  const auto data = bytes();
  ASSERT_EQ(data.size(), 9600u);
  for (int slot : {0, 1, 3}) EXPECT_TRUE(isEmptyRecordData(data, slot)) << slot;
  for (int slot = 0; slot < 4; ++slot) EXPECT_TRUE(fillerInRange(data, slot)) << slot;

  ASSERT_TRUE(file.loadBoardRecord(0).loaded());
  NullDisplay otherDisplay;
  const BoardModel empty(otherDisplay);
  expectSameRecord(empty, model);
}

TEST_F(BoardFileTest, SavingAgainChangesOnlyThatRecordsFiller) {
  fillModel(model, 3);
  ASSERT_TRUE(file.saveBoardRecord(0).saved());
  ASSERT_TRUE(file.saveBoardRecord(3).saved());
  const auto first = bytes();
  ASSERT_TRUE(file.saveBoardRecord(3).saved());
  const auto second = bytes();
  ASSERT_EQ(second.size(), 9600u);

  std::size_t fillerDiffs = 0;
  for (std::size_t i = 0; i < first.size(); ++i) {
    const bool inFillerOf3 = i >= 3 * 2400 + 1400;
    if (!inFillerOf3) {
      ASSERT_EQ(first[i], second[i]) << "byte " << i;
    } else if (first[i] != second[i]) {
      ++fillerDiffs;
    }
  }
  EXPECT_GT(fillerDiffs, 0u);
  EXPECT_TRUE(fillerInRange(second, 3));
}

TEST_F(BoardFileTest, SaveRefreshesTheCandidateStoreThatCancelRestoresFrom) {
  model.candidates[4][4][7] = true;
  ASSERT_TRUE(file.saveBoardRecord(0).saved());
  EXPECT_EQ(model.candidatesStore[4][4][7], 0xFF);
  EXPECT_EQ(model.candidatesStore[4][4][6], 0x00);
  model.clearCandidates();
  model.candidates[1][1][1] = true;
  rebuildCandidatesFromStore(model);
  EXPECT_TRUE(model.candidates[4][4][7]);
  EXPECT_FALSE(model.candidates[1][1][1]);
}

TEST_F(BoardFileTest, LoadRunsTheHookAndDrawsNothing) {
  testing::RecordingDisplay counting;
  model.setDisplay(counting);
  int hookCalls = 0;
  file.onLoadStart = [&] { ++hookCalls; };
  ASSERT_TRUE(file.saveBoardRecord(0).saved());

  model.quietMode = false;
  EXPECT_TRUE(file.loadBoardRecord(0).loaded());
  EXPECT_EQ(hookCalls, 1);
  EXPECT_TRUE(counting.calls.empty());

  // A missing file still stops the clock, and changes nothing.
  file.boardFileName = (dir / "missing.ptv").string();
  fillModel(model, 5);
  NullDisplay otherDisplay;
  BoardModel before(otherDisplay);
  fillModel(before, 5);
  EXPECT_EQ(file.loadBoardRecord(0).status, LoadStatus::kMissing);
  EXPECT_EQ(hookCalls, 2);
  EXPECT_TRUE(counting.calls.empty());
  expectSameRecord(before, model);
}

TEST_F(BoardFileTest, BareNameIsTheWorkingDirectory) {
  WorkingDir cwd(dir.path());
  file.boardFileName = kPlayerBoardFile;
  fillModel(model, 9);
  ASSERT_TRUE(file.saveBoardRecord(1).saved());
  EXPECT_EQ(std::filesystem::file_size(dir / "brett.ptv"), 9600u);
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"brett.ptv"});
}

// ---- damaged files ----

TEST_F(BoardFileTest, ForeignBytesReadAsEmptyCellsAndLeaveTheFileAlone) {
  std::vector<uint8_t> data(9600, 0);
  const std::size_t base = 2400 * 2;
  data[base + 11] = 10;             // board (1, 1)
  data[base + 99] = 255;            // board (9, 9)
  data[base + 55] = 5;              // board (5, 5): a real digit
  data[base + 100 + 12] = 200;      // givens (1, 2)
  data[base + 200 + 34] = 7;        // dotsRight (3, 4): unknown code, kept
  data[base + 300 + 88] = 255;      // dotsDown [8][8]
  data[base + 400 + 100 * 3 + 45] = 1;     // any non-zero byte is a mark
  data[base + 400 + 100 * 9 + 99] = 0x80;
  writeBytes(file.boardFileName, data);

  fillModel(model, 11);
  ASSERT_TRUE(file.loadBoardRecord(2).loaded());
  EXPECT_EQ(model.board[1][1], 0);
  EXPECT_EQ(model.board[9][9], 0);
  EXPECT_EQ(model.board[5][5], 5);
  EXPECT_EQ(model.givens[1][2], 0);
  EXPECT_EQ(model.dotsRight[3][4], 7);
  EXPECT_EQ(model.dotsDown[8][8], 255);
  EXPECT_TRUE(model.candidates[4][5][3]);
  EXPECT_TRUE(model.candidates[9][9][9]);
  EXPECT_FALSE(model.candidates[4][5][2]);
  EXPECT_FALSE(model.isBoardComplete());
  EXPECT_EQ(model.digitCount[0], 80);
  EXPECT_EQ(readBytes(file.boardFileName), data);
}

TEST_F(BoardFileTest, EveryByteValueInEveryDigitCellIsSafe) {
  std::vector<uint8_t> data(2400, 0);
  for (int value = 0; value < 256; ++value) {
    for (std::size_t i = 0; i < 200; ++i) data[i] = static_cast<uint8_t>(value);
    writeBytes(file.boardFileName, data);
    ASSERT_TRUE(file.loadBoardRecord(0).loaded());
    const uint8_t expected = value <= 9 ? static_cast<uint8_t>(value) : 0;
    for (int r = 0; r <= 9; ++r)
      for (int c = 0; c <= 9; ++c) {
        ASSERT_EQ(model.board[r][c], expected);
        ASSERT_EQ(model.givens[r][c], expected);
      }
  }
}

TEST_F(BoardFileTest, EveryByteValueInEveryFieldLoadsSavesAndPlays) {
  NullDisplay otherDisplay;
  BoardModel back(otherDisplay);
  back.quietMode = true;
  BoardFile reader(back, random);
  reader.boardFileName = file.boardFileName;
  for (int value = 0; value < 256; ++value) {
    SCOPED_TRACE(value);
    const auto byte = static_cast<uint8_t>(value);
    writeBytes(file.boardFileName, std::vector<uint8_t>(kBoardFileSize, byte));
    ASSERT_TRUE(file.loadBoardRecord(1).loaded());
    const uint8_t digit = value <= 9 ? byte : 0;
    for (int r = 0; r <= 9; ++r)
      for (int c = 0; c <= 9; ++c) {
        ASSERT_EQ(model.board[r][c], digit);
        ASSERT_EQ(model.givens[r][c], digit);
        ASSERT_EQ(model.dotsRight[r][c], byte) << "unknown dot codes are kept";
        ASSERT_EQ(model.dotsDown[r][c], byte);
        for (int d = 1; d <= 9; ++d) {
          if (r >= 1 && c >= 1) {
            ASSERT_EQ(model.candidates[r][c][d], value != 0);
          }
        }
      }

    // Saved into another record and read again: the same board, the other records untouched.
    ASSERT_TRUE(file.saveBoardRecord(2).saved());
    const std::vector<uint8_t> saved = bytes();
    ASSERT_EQ(saved.size(), kBoardFileSize);
    for (std::size_t i : {std::size_t{0}, kRecordSize, 3 * kRecordSize}) ASSERT_EQ(saved[i + 55], byte);
    ASSERT_TRUE(reader.loadBoardRecord(2).loaded());
    expectSameRecord(model, back);

    // What the game does with a loaded board: solution, error check, candidates, solver, dots.
    Settings settings;
    settings.fillLevelNames();
    Solver solver(model, settings);
    solver.computeSolution();
    evaluateStatus(model, false);
    solver.computeCandidates();
    model.quietMode = true;
    solver.solveWithCandidates();
    deriveDots(model);
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c) {
        ASSERT_LE(model.board[r][c], 9);
        ASSERT_LE(model.dotsRight[r][c], kBlackDot);
        ASSERT_LE(model.dotsDown[c][r], kBlackDot);
      }
  }
}

TEST_F(BoardFileTest, EveryWrongLengthLoadsWhatIsThereAndSavesAWholeFile) {
  NullDisplay otherDisplay;
  BoardModel before(otherDisplay), back(otherDisplay);
  BoardFile reader(back, random);
  reader.boardFileName = file.boardFileName;
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{2399}, std::size_t{2400},
                           std::size_t{9599}, std::size_t{9600}, std::size_t{9601}, std::size_t{1} << 20}) {
    // Digits 0-9 in every byte, so that whatever is read can be told apart by its place.
    std::vector<uint8_t> data(size);
    for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<uint8_t>(i * 7 % 10);
    for (int slot = 0; slot < kRecordsPerFile; ++slot) {
      SCOPED_TRACE(::testing::Message() << size << " bytes, record " << slot);
      writeBytes(file.boardFileName, data);
      fillModel(model, 40 + static_cast<uint64_t>(slot));
      fillModel(before, 40 + static_cast<uint64_t>(slot));
      const std::size_t start = kRecordSize * static_cast<std::size_t>(slot);

      const LoadResult load = file.loadBoardRecord(slot);
      EXPECT_EQ(bytes(), data) << "loading never writes";
      if (size < start + kRecordDataSize) {
        EXPECT_EQ(load.status, LoadStatus::kTooShort);
        expectSameRecord(before, model);
      } else {
        ASSERT_TRUE(load.loaded());
        for (int r = 0; r <= 9; ++r)
          for (int c = 0; c <= 9; ++c) ASSERT_EQ(model.board[r][c], data[start + 10 * r + c]);
      }

      ASSERT_TRUE(file.saveBoardRecord(slot).saved());
      const std::vector<uint8_t> saved = bytes();
      ASSERT_EQ(saved.size(), std::max(size, kBoardFileSize));
      if (size > kBoardFileSize) {
        EXPECT_TRUE(std::equal(data.begin() + kBoardFileSize, data.end(), saved.begin() + kBoardFileSize));
      }
      for (int other = 0; other < kRecordsPerFile; ++other) {
        if (other == slot) continue;
        const std::size_t at = kRecordSize * static_cast<std::size_t>(other);
        if (size == kBoardFileSize) {
          EXPECT_TRUE(std::equal(saved.begin() + at, saved.begin() + at + kRecordSize, data.begin() + at));
        } else {
          EXPECT_TRUE(isEmptyRecordData(saved, other)) << "a file of the wrong length is laid out afresh";
        }
      }
      ASSERT_TRUE(reader.loadBoardRecord(slot).loaded());
      expectSameRecord(model, back);
    }
  }
}

TEST_F(BoardFileTest, FileEndingInsideTheRecordChangesNothing) {
  fillModel(model, 21);
  NullDisplay otherDisplay;
  BoardModel before(otherDisplay);
  fillModel(before, 21);
  for (std::size_t size : {0u, 1u, 1399u}) {
    writeBytes(file.boardFileName, std::vector<uint8_t>(size, 3));
    EXPECT_EQ(file.loadBoardRecord(0).status, LoadStatus::kTooShort) << size;
    expectSameRecord(before, model);
  }
  // Record 4 needs bytes up to 7200 + 1400; the filler is never read.
  writeBytes(file.boardFileName, std::vector<uint8_t>(7200 + 1399, 0));
  EXPECT_EQ(file.loadBoardRecord(3).status, LoadStatus::kTooShort);
  expectSameRecord(before, model);
  writeBytes(file.boardFileName, std::vector<uint8_t>(7200 + 1400, 0));
  EXPECT_TRUE(file.loadBoardRecord(3).loaded());
  EXPECT_EQ(model.board, Grid{});
}

TEST_F(BoardFileTest, LongerFileLoadsTheBytesWhereTheyAre) {
  std::vector<uint8_t> data(9601, 0);
  data[2400 + 11] = 8;
  writeBytes(file.boardFileName, data);
  ASSERT_TRUE(file.loadBoardRecord(1).loaded());
  EXPECT_EQ(model.board[1][1], 8);
}

TEST_F(BoardFileTest, FolderOrBadSlotLoadsNothing) {
  fillModel(model, 4);
  NullDisplay otherDisplay;
  BoardModel before(otherDisplay);
  fillModel(before, 4);
  std::filesystem::create_directory(file.boardFileName);
  EXPECT_EQ(file.loadBoardRecord(0).status, LoadStatus::kUnreadable);
  expectSameRecord(before, model);
  EXPECT_EQ(file.saveBoardRecord(0).status, SaveStatus::kUnreadable);
  EXPECT_TRUE(std::filesystem::is_directory(file.boardFileName));

  file.boardFileName = (dir / "other.ptv").string();
  EXPECT_EQ(file.loadBoardRecord(4).status, LoadStatus::kBadSlot);
  EXPECT_EQ(file.loadBoardRecord(-1).status, LoadStatus::kBadSlot);
  EXPECT_EQ(file.saveBoardRecord(4).status, SaveStatus::kBadSlot);
  EXPECT_FALSE(std::filesystem::exists(file.boardFileName));
  expectSameRecord(before, model);
}

TEST_F(BoardFileTest, WrongLengthIsLaidOutAfreshAndTheTailKept) {
  fillModel(model, 31);
  // Shorter: everything else is lost, as the format demands.
  writeBytes(file.boardFileName, std::vector<uint8_t>(5000, 6));
  ASSERT_TRUE(file.saveBoardRecord(2).saved());
  auto data = bytes();
  ASSERT_EQ(data.size(), 9600u);
  for (int slot : {0, 1, 3}) EXPECT_TRUE(isEmptyRecordData(data, slot)) << slot;
  for (int slot = 0; slot < 4; ++slot) EXPECT_TRUE(fillerInRange(data, slot)) << slot;

  // Longer: the first 9600 bytes are laid out afresh, what lies beyond stays.
  std::vector<uint8_t> longer(12000, 6);
  for (std::size_t i = 9600; i < longer.size(); ++i) longer[i] = static_cast<uint8_t>(i * 7);
  writeBytes(file.boardFileName, longer);
  ASSERT_TRUE(file.saveBoardRecord(2).saved());
  data = bytes();
  ASSERT_EQ(data.size(), 12000u);
  EXPECT_TRUE(std::equal(data.begin() + 9600, data.end(), longer.begin() + 9600));
  for (int slot : {0, 1, 3}) EXPECT_TRUE(isEmptyRecordData(data, slot)) << slot;

  NullDisplay otherDisplay;
  BoardModel loaded(otherDisplay);
  loaded.quietMode = true;
  BoardFile reader(loaded, random);
  reader.boardFileName = file.boardFileName;
  ASSERT_TRUE(reader.loadBoardRecord(2).loaded());
  expectSameRecord(model, loaded);
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"brett.ptv"});
}

TEST_F(BoardFileTest, SaveKeepsThePermissionsAndFollowsALink) {
  ASSERT_TRUE(file.saveBoardRecord(0).saved());
  // A new file gets what the umask leaves of read and write for everyone, as any program's.
  const mode_t umask = ::umask(0);
  ::umask(umask);
  EXPECT_EQ(std::filesystem::status(file.boardFileName).permissions(), std::filesystem::perms(0666 & ~umask));
  std::filesystem::permissions(file.boardFileName, std::filesystem::perms(0640));
  const auto link = dir / "link.ptv";
  std::filesystem::create_symlink(file.boardFileName, link);

  fillModel(model, 41);
  file.boardFileName = link.string();
  ASSERT_TRUE(file.saveBoardRecord(1).saved());
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(std::filesystem::status(dir / "brett.ptv").permissions(), std::filesystem::perms(0640));

  NullDisplay otherDisplay;
  BoardModel loaded(otherDisplay);
  loaded.quietMode = true;
  BoardFile reader(loaded, random);
  reader.boardFileName = (dir / "brett.ptv").string();
  ASSERT_TRUE(reader.loadBoardRecord(1).loaded());
  expectSameRecord(model, loaded);
}

// ---- failed saves ----

struct FailingCalls final : FileCalls {
  int failOpen = 0, failSync = 0, failRename = 0;
  int open(const char* path, int flags, mode_t mode) override {
    if (failOpen != 0) {
      errno = failOpen;
      return -1;
    }
    return FileCalls::open(path, flags, mode);
  }
  int fsync(int fd) override {
    if (failSync != 0) {
      errno = failSync;
      return -1;
    }
    return FileCalls::fsync(fd);
  }
  int rename(const char* from, const char* to) override {
    if (failRename != 0) {
      errno = failRename;
      return -1;
    }
    return FileCalls::rename(from, to);
  }
};

class FailedSaveTest : public BoardFileTest {
 protected:
  std::vector<uint8_t> original;
  void SetUp() override {
    BoardFileTest::SetUp();
    for (int slot = 0; slot < 4; ++slot) {
      fillModel(model, 50 + slot);
      ASSERT_TRUE(file.saveBoardRecord(slot).saved());
    }
    original = bytes();
    fillModel(model, 99);
  }
  void expectOldFileIntact() {
    EXPECT_EQ(bytes(), original);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"brett.ptv"});
  }
};

TEST_F(FailedSaveTest, WriteFailingAfterNBytesKeepsTheOldFile) {
  for (std::size_t limit : {0u, 1u, 2399u, 4800u, 9599u}) {
    SCOPED_TRACE(limit);
    FailAfterBytes failing(limit);
    file.setFileCalls(failing);
    const SaveResult result = file.saveBoardRecord(1);
    EXPECT_EQ(result.status, SaveStatus::kWriteFailed);
    EXPECT_EQ(result.write.error, ENOSPC);
    EXPECT_EQ(failing.bytesWritten(), limit);
    expectOldFileIntact();
  }
  // The same model saves once the disk has room again.
  FailAfterBytes roomy(9600);
  file.setFileCalls(roomy);
  EXPECT_TRUE(file.saveBoardRecord(1).saved());
  EXPECT_NE(bytes(), original);
}

TEST_F(FailedSaveTest, FailingOpenSyncOrRenameKeepsTheOldFile) {
  FailingCalls calls;
  file.setFileCalls(calls);
  calls.failOpen = EACCES;
  EXPECT_EQ(file.saveBoardRecord(0).status, SaveStatus::kWriteFailed);
  expectOldFileIntact();
  calls.failOpen = 0;
  calls.failSync = EIO;
  EXPECT_EQ(file.saveBoardRecord(0).status, SaveStatus::kWriteFailed);
  expectOldFileIntact();
  calls.failSync = 0;
  calls.failRename = EXDEV;
  const SaveResult result = file.saveBoardRecord(0);
  EXPECT_EQ(result.status, SaveStatus::kWriteFailed);
  EXPECT_NE(result.describe().find("rename"), std::string::npos);
  expectOldFileIntact();
}

TEST_F(BoardFileTest, FailedSaveOfANewFileLeavesNoFile) {
  FailAfterBytes failing(100);
  file.setFileCalls(failing);
  EXPECT_EQ(file.saveBoardRecord(0).status, SaveStatus::kWriteFailed);
  EXPECT_TRUE(dir.entries().empty());
}

TEST_F(BoardFileTest, MissingFolderFailsTheSave) {
  file.boardFileName = (dir / "gone" / "brett.ptv").string();
  const SaveResult result = file.saveBoardRecord(0);
  EXPECT_EQ(result.status, SaveStatus::kWriteFailed);
  EXPECT_EQ(result.write.error, ENOENT);
}

TEST_F(FailedSaveTest, ReadOnlyFolderFailsTheSave) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  std::filesystem::permissions(dir.path(), std::filesystem::perms(0555));
  const SaveResult result = file.saveBoardRecord(2);
  std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));
  EXPECT_EQ(result.status, SaveStatus::kWriteFailed);
  EXPECT_EQ(result.write.error, EACCES);
  expectOldFileIntact();
}

}  // namespace
}  // namespace punktivo
