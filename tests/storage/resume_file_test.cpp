// The last game's file: the layout, round trips, and every kind of damaged, truncated or
// foreign file rejected without a byte of it reaching the state.
#include "storage/resume_file.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/random.h"
#include "support/temp_dir.h"

namespace punktivo {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

// A keepable state with something in every field.
ResumeState sampleState(uint64_t seed) {
  SeededRandom random(seed);
  ResumeState state;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) {
      state.board[r][c] = static_cast<uint8_t>(random.random(10));
      state.givens[r][c] = random.random(3) == 0 ? state.board[r][c] : 0;
      state.solution[r][c] = static_cast<uint8_t>(random.random(9) + 1);
      if (c <= 8) state.dotsRight[r][c] = static_cast<uint8_t>(random.random(3));
      if (r <= 8) state.dotsDown[c][r] = static_cast<uint8_t>(random.random(3));
      for (int d = 1; d <= 9; ++d) state.candidates[r][c][d] = random.random(2) == 1;
    }
  state.givens[5][5] = state.board[5][5] = 7;
  state.difficulty = static_cast<int>(seed % 4);
  state.timedGame = true;
  state.elapsedMilliseconds = 3723456;  // 1 h 2 min 3.456 s
  state.mistakeCount = 2;
  state.unsolvedFlag = seed % 2 == 1;
  return state;
}

// Bytes with one field changed and the checksum made right again: only the field's own
// check can reject them.
std::vector<uint8_t> patched(std::vector<uint8_t> bytes, std::size_t payloadOffset, uint8_t value) {
  bytes[kResumeHeaderSize + payloadOffset] = value;
  const std::size_t covered = bytes.size() - 4;
  const uint32_t crc = crc32(std::span<const uint8_t>(bytes).first(covered));
  for (std::size_t k = 0; k < 4; ++k) bytes[covered + k] = static_cast<uint8_t>(crc >> (8 * k));
  return bytes;
}

// Where the fields lie in the payload.
constexpr std::size_t kBoardAt = 0, kGivensAt = 81, kSolutionAt = 162, kDotsRightAt = 243, kDotsDownAt = 315;
constexpr std::size_t kCandidatesAt = 387, kLevelAt = 549, kTimedAt = 550, kUnsolvedAt = 551, kElapsedAt = 552,
                      kMistakesAt = 556;

TEST(ResumeFile, KnownChecksum) {
  const std::string text = "123456789";
  EXPECT_EQ(crc32(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size())), 0xCBF43926U);
}

TEST(ResumeFile, LayoutStartsWithMagicVersionAndLength) {
  const std::vector<uint8_t> bytes = encodeResume(sampleState(1));
  ASSERT_EQ(bytes.size(), kResumeFileSize);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), "PTVSTAND");
  EXPECT_EQ(bytes[8], 1);
  EXPECT_EQ(bytes[9], 0);
  EXPECT_EQ(bytes[10] | bytes[11] << 8, int(kResumePayloadSize));
  EXPECT_EQ(kMistakesAt + 2, kResumePayloadSize);
  // Fields where the layout says.
  const ResumeState state = sampleState(1);
  EXPECT_EQ(bytes[kResumeHeaderSize + kBoardAt + 9 * 4 + 4], state.board[5][5]);
  EXPECT_EQ(bytes[kResumeHeaderSize + kGivensAt + 9 * 4 + 4], 7);
  EXPECT_EQ(bytes[kResumeHeaderSize + kDotsDownAt + 8 * 2 + 3], state.dotsDown[3][4]);
  EXPECT_EQ(bytes[kResumeHeaderSize + kLevelAt], 1);
  EXPECT_EQ(bytes[kResumeHeaderSize + kTimedAt], 1);
  EXPECT_EQ(bytes[kResumeHeaderSize + kElapsedAt] | bytes[kResumeHeaderSize + kElapsedAt + 1] << 8 |
                bytes[kResumeHeaderSize + kElapsedAt + 2] << 16,
            3723456);
}

TEST(ResumeFile, RoundTripGivesTheStateBack) {
  for (uint64_t seed = 1; seed <= 20; ++seed) {
    ResumeState state = sampleState(seed);
    if (seed % 3 == 0) {
      state.timedGame = false;
      state.elapsedMilliseconds = 0;
    }
    if (seed == 7) state.elapsedMilliseconds = 0xFFFFFFFFU;
    if (seed == 8) {
      state.timedGame = false;
      state.elapsedMilliseconds = 0;
      state.mistakeCount = kMaxResumeMistakes;
    }
    const ResumeReadResult back = decodeResume(encodeResume(state));
    ASSERT_TRUE(back.ok()) << back.describe();
    EXPECT_EQ(back.state, state) << seed;
  }
}

TEST(ResumeFile, ModelGoesInAndComesBackWithoutTheUnusedEdges) {
  NullDisplay display;
  BoardModel model(display);
  const ResumeState state = sampleState(3);
  restoreModel(state, model);
  EXPECT_EQ(model.board, state.board);
  EXPECT_EQ(model.dotsDown, state.dotsDown);
  EXPECT_TRUE(model.unsolvedFlag);
  for (int d = 1; d <= 9; ++d) {
    EXPECT_EQ(model.candidates[2][3][d], state.candidates[2][3][d]);
    EXPECT_EQ(model.candidatesStore[2][3][d], state.candidates[2][3][d] ? 0xFF : 0x00);
  }
  // Row and column 0 and the dots beyond the edge are not part of the game.
  model.board[0][4] = 9;
  model.dotsRight[4][9] = 2;
  model.dotsDown[4][9] = 1;
  model.candidates[0][0][0] = true;
  EXPECT_EQ(resumeStateOf(model), [&] {
    ResumeState s = state;
    s.difficulty = 0;
    s.timedGame = false;
    s.elapsedMilliseconds = 0;
    s.mistakeCount = 0;
    return s;
  }());
}

TEST(ResumeFile, WrittenAtomicallyAndReadBack) {
  TempDir dir;
  const auto file = dir / kResumeFile;
  EXPECT_EQ(readResumeFile(file).status, ResumeStatus::kMissing);
  const ResumeState state = sampleState(5);
  ASSERT_TRUE(writeResumeFile(state, file));
  EXPECT_EQ(dir.entries(), std::vector<std::string>{kResumeFile});
  const ResumeReadResult back = readResumeFile(file);
  ASSERT_TRUE(back.ok()) << back.describe();
  EXPECT_EQ(back.state, state);

  // A save that fails half-way leaves the old file as it was.
  const std::vector<uint8_t> before = readBytes(file);
  FailAfterBytes failing(100);
  EXPECT_FALSE(writeResumeFile(sampleState(6), file, failing));
  EXPECT_EQ(readBytes(file), before);
  EXPECT_EQ(dir.entries(), std::vector<std::string>{kResumeFile});
}

TEST(ResumeFile, AFolderInItsPlaceIsUnreadable) {
  TempDir dir;
  std::filesystem::create_directory(dir / kResumeFile);
  const ResumeReadResult read = readResumeFile(dir / kResumeFile);
  EXPECT_EQ(read.status, ResumeStatus::kUnreadable);
  EXPECT_EQ(read.error, EISDIR);
}

TEST(ResumeFile, EveryTruncationIsRejected) {
  const std::vector<uint8_t> bytes = encodeResume(sampleState(2));
  for (std::size_t length = 0; length < bytes.size(); ++length) {
    const ResumeReadResult read = decodeResume(std::span(bytes).first(length));
    EXPECT_EQ(read.status, length < 8 ? ResumeStatus::kForeign : ResumeStatus::kDamaged) << length;
  }
}

TEST(ResumeFile, ABytePastTheEndIsRejectedAndAHugeFileIsNotReadWhole) {
  TempDir dir;
  std::vector<uint8_t> bytes = encodeResume(sampleState(2));
  bytes.push_back(0);
  EXPECT_EQ(decodeResume(bytes).status, ResumeStatus::kDamaged);
  bytes.resize(4 << 20, 0x55);
  writeBytes(dir / kResumeFile, bytes);
  EXPECT_EQ(readResumeFile(dir / kResumeFile).status, ResumeStatus::kDamaged);
}

TEST(ResumeFile, EveryFlippedBitIsRejected) {
  const std::vector<uint8_t> bytes = encodeResume(sampleState(4));
  for (std::size_t i = 0; i < bytes.size(); ++i)
    for (int bit = 0; bit < 8; ++bit) {
      std::vector<uint8_t> damaged = bytes;
      damaged[i] = static_cast<uint8_t>(damaged[i] ^ (1 << bit));
      EXPECT_FALSE(decodeResume(damaged).ok()) << "byte " << i << " bit " << bit;
    }
}

TEST(ResumeFile, ForeignFilesAreRecognised) {
  // A board file, a text file, and nothing at all.
  EXPECT_EQ(decodeResume(std::vector<uint8_t>(9600, 0)).status, ResumeStatus::kForeign);
  const std::string text = "Punktivo: letztes Spiel\n";
  EXPECT_EQ(decodeResume(std::vector<uint8_t>(text.begin(), text.end())).status, ResumeStatus::kForeign);
  EXPECT_EQ(decodeResume({}).status, ResumeStatus::kForeign);
  // Ours, but of a later version.
  std::vector<uint8_t> later = encodeResume(sampleState(1));
  later[8] = 3;
  EXPECT_EQ(decodeResume(later).status, ResumeStatus::kUnknownVersion);
}

// A timed game in which a hint was shown keeps that mark in version 2 (one byte more); a game
// without it keeps the bytes of version 1, so older games read it as before.
TEST(ResumeFile, AHintMarkIsKeptInVersionTwoAndAGameWithoutOneStaysVersionOne) {
  ResumeState state = sampleState(3);
  const std::vector<uint8_t> plain = encodeResume(state);
  ASSERT_EQ(plain.size(), kResumeFileSize);
  EXPECT_EQ(plain[8], 1);
  state.hintShown = true;
  const std::vector<uint8_t> marked = encodeResume(state);
  ASSERT_EQ(marked.size(), kResumeFileSizeWithMarks);
  EXPECT_EQ(marked[8], 2);
  EXPECT_EQ(marked[10] | marked[11] << 8, int(kResumePayloadSize + 1));
  // The same fields in the same places, the mark after them.
  EXPECT_TRUE(std::equal(plain.begin() + 12, plain.end() - 4, marked.begin() + 12));
  EXPECT_EQ(marked[kResumeHeaderSize + kResumePayloadSize], 1);
  const ResumeReadResult back = decodeResume(marked);
  ASSERT_TRUE(back.ok()) << back.describe();
  EXPECT_EQ(back.state, state);
  EXPECT_FALSE(decodeResume(plain).state.hintShown);
  // Version 2 without its mark, or with other bits, is not a file of ours.
  for (const int mark : {0, 3, 0x81})
    EXPECT_EQ(decodeResume(patched(marked, kResumePayloadSize, uint8_t(mark))).status, ResumeStatus::kDamaged) << int(mark);
  for (std::size_t i = 0; i < marked.size(); ++i) {
    std::vector<uint8_t> damaged = marked;
    damaged[i] = static_cast<uint8_t>(damaged[i] ^ 0x10);
    EXPECT_FALSE(decodeResume(damaged).ok()) << "byte " << i;
  }
  // A version-2 header on a file of version 1's length is damaged, not read short.
  std::vector<uint8_t> shortened = plain;
  shortened[8] = 2;
  EXPECT_EQ(decodeResume(shortened).status, ResumeStatus::kDamaged);
}

TEST(ResumeFile, FieldsOutOfRangeAreRejectedEvenWithTheRightChecksum) {
  ResumeState state = sampleState(9);
  state.timedGame = false;
  state.elapsedMilliseconds = 0;
  state.givens[1][1] = state.board[1][1] = 0;  // the cell every patch below uses
  const std::vector<uint8_t> good = encodeResume(state);
  ASSERT_TRUE(decodeResume(patched(good, kBoardAt, 0)).ok()) << "the patch itself must keep a file good";
  const struct {
    const char* what;
    std::size_t at;
    uint8_t value;
  } cases[] = {
      {"digit 10 on the board", kBoardAt, 10},
      {"a given 255", kGivensAt, 255},
      {"solution digit 10", kSolutionAt, 10},
      {"dot code 3 to the right", kDotsRightAt, 3},
      {"dot code 9 below", kDotsDownAt + 71, 9},
      {"candidate bit 0", kCandidatesAt, 0x01},
      {"candidate bits beyond 9", kCandidatesAt + 1, 0x04},
      {"level 4", kLevelAt, 4},
      {"timed 2", kTimedAt, 2},
      {"unsolved 2", kUnsolvedAt, 2},
      {"elapsed time in an untimed game", kElapsedAt, 1},
      {"mistakes 32768", kMistakesAt + 1, 0x80},
  };
  for (const auto& c : cases) EXPECT_EQ(decodeResume(patched(good, c.at, c.value)).status, ResumeStatus::kDamaged) << c.what;

  // A board without givens is no game to resume, whatever the checksum says.
  std::vector<uint8_t> noGivens = good;
  for (std::size_t i = 0; i < 81; ++i) noGivens = patched(noGivens, kGivensAt + i, 0);
  EXPECT_EQ(decodeResume(noGivens).status, ResumeStatus::kDamaged);
}

TEST(ResumeFile, OnlyAGameWithGivensAndDotsInRangeIsKept) {
  ResumeState state = sampleState(1);
  EXPECT_TRUE(isKeepable(state));
  state.givens = Grid{};
  EXPECT_FALSE(isKeepable(state)) << "no givens";
  state = sampleState(1);
  state.dotsRight[2][2] = 7;  // from a hand-made board file
  EXPECT_FALSE(isKeepable(state));
  state = sampleState(1);
  state.timedGame = false;
  EXPECT_FALSE(isKeepable(state)) << "elapsed time without timing";
  state.elapsedMilliseconds = 0;
  EXPECT_TRUE(isKeepable(state));
  state.difficulty = -1;
  EXPECT_FALSE(isKeepable(state));
  state = sampleState(1);
  state.mistakeCount = 3;
  EXPECT_FALSE(isKeepable(state)) << "the third mistake ends the timing";
}

}  // namespace
}  // namespace punktivo
