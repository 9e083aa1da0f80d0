// Writer and reader of the last game's file.
#include "storage/resume_file.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <system_error>

namespace punktivo {

namespace {

// Appends little-endian fields to the file's bytes.
class Writer {
 public:
  explicit Writer(std::vector<uint8_t>& out) : out_(out) {}
  void byte(unsigned value) { out_.push_back(static_cast<uint8_t>(value)); }
  void u16(unsigned value) {
    byte(value & 0xFF);
    byte((value >> 8) & 0xFF);
  }
  void u32(uint32_t value) {
    u16(value & 0xFFFF);
    u16(value >> 16);
  }

 private:
  std::vector<uint8_t>& out_;
};

// Takes little-endian fields from a span the caller has checked is long enough.
class Reader {
 public:
  explicit Reader(std::span<const uint8_t> in) : in_(in) {}
  unsigned byte() { return in_[at_++]; }
  unsigned u16() {
    const unsigned low = byte();
    return low | byte() << 8;
  }
  uint32_t u32() {
    const uint32_t low = u16();
    return low | static_cast<uint32_t>(u16()) << 16;
  }

 private:
  std::span<const uint8_t> in_;
  std::size_t at_ = 0;
};

// The cells each image stores, in file order: (first index, second index) of the Grid.
template <typename Visit>
void forEachDigitCell(Visit visit) {
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) visit(r, c);
}
template <typename Visit>
void forEachDotCell(Visit visit) {
  // dotsRight[r][c] for c 1-8, dotsDown[c][r] for r 1-8: both run 1-9 by 1-8.
  for (int i = 1; i <= 9; ++i)
    for (int j = 1; j <= 8; ++j) visit(i, j);
}

bool digitsInRange(const Grid& grid) {
  bool ok = true;
  forEachDigitCell([&](int r, int c) { ok = ok && grid[r][c] <= 9; });
  return ok;
}

bool dotsInRange(const Grid& grid) {
  bool ok = true;
  forEachDotCell([&](int i, int j) { ok = ok && grid[i][j] <= kBlackDot; });
  return ok;
}

// Only the cells the file stores: the rest of a model's images is not part of the game.
Grid storedDigits(const Grid& grid) {
  Grid out{};
  forEachDigitCell([&](int r, int c) { out[r][c] = grid[r][c]; });
  return out;
}

Grid storedDots(const Grid& grid) {
  Grid out{};
  forEachDotCell([&](int i, int j) { out[i][j] = grid[i][j]; });
  return out;
}

ResumeReadResult rejected(ResumeStatus status, int error = 0) {
  ResumeReadResult result;
  result.status = status;
  result.error = error;
  return result;
}

}  // namespace

uint32_t crc32(std::span<const uint8_t> bytes) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320U ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  uint32_t crc = 0xFFFFFFFFU;
  for (uint8_t b : bytes) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFU;
}

ResumeState resumeStateOf(const BoardModel& model) {
  ResumeState state;
  state.board = storedDigits(model.board);
  state.givens = storedDigits(model.givens);
  state.solution = storedDigits(model.solution);
  state.dotsRight = storedDots(model.dotsRight);
  state.dotsDown = storedDots(model.dotsDown);
  forEachDigitCell([&](int r, int c) {
    for (int d = 1; d <= 9; ++d) state.candidates[r][c][d] = model.candidates[r][c][d];
  });
  state.unsolvedFlag = model.unsolvedFlag;
  return state;
}

void restoreModel(const ResumeState& state, BoardModel& model) {
  model.board = state.board;
  model.givens = state.givens;
  model.solution = state.solution;
  model.dotsRight = state.dotsRight;
  model.dotsDown = state.dotsDown;
  model.clearCandidates();
  for (auto& row : model.candidatesStore)
    for (auto& cell : row) cell.fill(0);
  forEachDigitCell([&](int r, int c) {
    for (int d = 1; d <= 9; ++d) {
      model.candidates[r][c][d] = state.candidates[r][c][d];
      model.candidatesStore[r][c][d] = state.candidates[r][c][d] ? 0xFF : 0x00;
    }
  });
  model.unsolvedFlag = state.unsolvedFlag;
}

bool isKeepable(const ResumeState& state) {
  bool anyGiven = false;
  forEachDigitCell([&](int r, int c) { anyGiven = anyGiven || state.givens[r][c] != 0; });
  return anyGiven && digitsInRange(state.board) && digitsInRange(state.givens) && digitsInRange(state.solution) &&
         dotsInRange(state.dotsRight) && dotsInRange(state.dotsDown) && state.difficulty >= 0 &&
         state.difficulty <= 3 && state.mistakeCount >= 0 && state.mistakeCount <= kMaxResumeMistakes &&
         (state.timedGame ? state.mistakeCount < 3 : state.elapsedMilliseconds == 0);
}

std::vector<uint8_t> encodeResume(const ResumeState& state) {
  assert(isKeepable(state));
  const bool marks = state.hintShown;
  std::vector<uint8_t> bytes;
  bytes.reserve(kResumeFileSizeWithMarks);
  Writer out(bytes);
  for (char ch : kResumeMagic) out.byte(static_cast<unsigned char>(ch));
  out.u16(marks ? kResumeVersionWithMarks : kResumeVersion);
  out.u16(marks ? kResumePayloadSize + 1 : kResumePayloadSize);
  for (const Grid* grid : {&state.board, &state.givens, &state.solution})
    forEachDigitCell([&](int r, int c) { out.byte((*grid)[r][c]); });
  for (const Grid* grid : {&state.dotsRight, &state.dotsDown})
    forEachDotCell([&](int i, int j) { out.byte((*grid)[i][j]); });
  forEachDigitCell([&](int r, int c) {
    unsigned mask = 0;
    for (int d = 1; d <= 9; ++d)
      if (state.candidates[r][c][d]) mask |= 1U << d;
    out.u16(mask);
  });
  out.byte(static_cast<unsigned>(state.difficulty));
  out.byte(state.timedGame ? 1 : 0);
  out.byte(state.unsolvedFlag ? 1 : 0);
  out.u32(state.elapsedMilliseconds);
  out.u16(static_cast<unsigned>(state.mistakeCount));
  if (marks) out.byte(1);
  out.u32(crc32(bytes));
  assert(bytes.size() == (marks ? kResumeFileSizeWithMarks : kResumeFileSize));
  return bytes;
}

ResumeReadResult decodeResume(std::span<const uint8_t> bytes) {
  if (bytes.size() < sizeof kResumeMagic ||
      !std::equal(std::begin(kResumeMagic), std::end(kResumeMagic), bytes.begin(),
                  [](char a, uint8_t b) { return static_cast<unsigned char>(a) == b; }))
    return rejected(ResumeStatus::kForeign);
  if (bytes.size() < kResumeHeaderSize) return rejected(ResumeStatus::kDamaged);
  Reader header(bytes.subspan(sizeof kResumeMagic));
  const unsigned version = header.u16();
  if (version != kResumeVersion && version != kResumeVersionWithMarks) return rejected(ResumeStatus::kUnknownVersion);
  const bool marks = version == kResumeVersionWithMarks;
  const std::size_t payloadSize = marks ? kResumePayloadSize + 1 : kResumePayloadSize;
  const std::size_t fileSize = marks ? kResumeFileSizeWithMarks : kResumeFileSize;
  if (header.u16() != payloadSize || bytes.size() != fileSize) return rejected(ResumeStatus::kDamaged);
  const std::span<const uint8_t> covered = bytes.first(fileSize - 4);
  if (Reader(bytes.subspan(covered.size())).u32() != crc32(covered)) return rejected(ResumeStatus::kDamaged);

  ResumeReadResult result;
  ResumeState& state = result.state;
  Reader in(bytes.subspan(kResumeHeaderSize, payloadSize));
  bool ok = true;
  for (Grid* grid : {&state.board, &state.givens, &state.solution})
    forEachDigitCell([&](int r, int c) { (*grid)[r][c] = static_cast<uint8_t>(in.byte()); });
  for (Grid* grid : {&state.dotsRight, &state.dotsDown})
    forEachDotCell([&](int i, int j) { (*grid)[i][j] = static_cast<uint8_t>(in.byte()); });
  forEachDigitCell([&](int r, int c) {
    const unsigned mask = in.u16();
    ok = ok && (mask & ~0x3FEU) == 0;  // bits 1-9 only
    for (int d = 1; d <= 9; ++d) state.candidates[r][c][d] = (mask >> d & 1U) != 0;
  });
  state.difficulty = static_cast<int>(in.byte());
  const unsigned timed = in.byte();
  const unsigned unsolved = in.byte();
  ok = ok && timed <= 1 && unsolved <= 1;
  state.timedGame = timed == 1;
  state.unsolvedFlag = unsolved == 1;
  state.elapsedMilliseconds = in.u32();
  state.mistakeCount = static_cast<int>(in.u16());
  if (marks) {
    // Version 2 exists for its mark: a file of it without the mark was not written by us.
    ok = ok && in.byte() == 1;
    state.hintShown = true;
  }
  // The checksum only says the bytes are as written; whether a writer of ours wrote them,
  // the fields say.
  if (!ok || !isKeepable(state)) return rejected(ResumeStatus::kDamaged);
  return result;
}

ResumeReadResult readResumeFile(const std::filesystem::path& path) {
  const ReadResult read = readFileRange(path, 0, kResumeFileSizeWithMarks + 1);
  if (read.status == ReadStatus::kMissing) return rejected(ResumeStatus::kMissing);
  if (read.status == ReadStatus::kFailed) return rejected(ResumeStatus::kUnreadable, read.error);
  return decodeResume(read.bytes);
}

WriteResult writeResumeFile(const ResumeState& state, const std::filesystem::path& path, FileCalls& calls) {
  return replaceFileContents(path, encodeResume(state), calls);
}

std::string ResumeReadResult::describe() const {
  switch (status) {
    case ResumeStatus::kOk: return "read";
    case ResumeStatus::kMissing: return "file not found";
    case ResumeStatus::kUnreadable: return "cannot read file: " + std::generic_category().message(error);
    case ResumeStatus::kForeign: return "not a saved game of Punktivo";
    case ResumeStatus::kUnknownVersion: return "saved game of an unknown version";
    case ResumeStatus::kDamaged: return "saved game damaged";
  }
  return "?";
}

}  // namespace punktivo
