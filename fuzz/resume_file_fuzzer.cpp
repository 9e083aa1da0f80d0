// The input is a "letztes.spiel" as it may lie on a player's disk: any length, any bytes. It is
// read as "Letztes Spiel fortsetzen" reads it; a state the reader accepts must be one the game
// can hold and must write back byte for byte. So that mutations get past the checksum, the
// input is read a second time with a right header and checksum put over it: then only the
// field checks stand between the bytes and the model.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "engine/board_model.h"
#include "engine/status_check.h"
#include "fuzz/fuzz_support.h"
#include "storage/resume_file.h"

using namespace punktivo;

namespace {

bool digitsInRange(const Grid& grid) {
  for (const auto& row : grid)
    for (uint8_t digit : row)
      if (digit > 9) return false;
  return true;
}

bool dotsInRange(const Grid& grid) {
  for (const auto& row : grid)
    for (uint8_t code : row)
      if (code > kBlackDot) return false;
  return true;
}

// What an accepted file promises, checked here without the reader's own isKeepable.
void checkAccepted(const ResumeState& state, std::span<const uint8_t> bytes) {
  FUZZ_CHECK(bytes.size() == kResumeFileSize);
  FUZZ_CHECK(digitsInRange(state.board) && digitsInRange(state.givens) && digitsInRange(state.solution));
  FUZZ_CHECK(dotsInRange(state.dotsRight) && dotsInRange(state.dotsDown));
  FUZZ_CHECK(state.difficulty >= 0 && state.difficulty <= 3);
  FUZZ_CHECK(state.mistakeCount >= 0 && state.mistakeCount <= kMaxResumeMistakes);
  FUZZ_CHECK(state.timedGame || state.elapsedMilliseconds == 0);
  bool anyGiven = false;
  for (const auto& row : state.givens)
    for (uint8_t given : row) anyGiven = anyGiven || given != 0;
  FUZZ_CHECK(anyGiven);

  // The one encoding of the state is the file itself.
  const std::vector<uint8_t> again = encodeResume(state);
  FUZZ_CHECK(std::equal(again.begin(), again.end(), bytes.begin(), bytes.end()));

  // Into the model as the menu item puts it, and out again as leaving takes it (nothing
  // beyond rows and columns 1-9 or digits 1-9 may come along); then the error check the
  // panels run first.
  NullDisplay display;
  BoardModel model(display);
  restoreModel(state, model);
  ResumeState back = resumeStateOf(model);
  back.difficulty = state.difficulty;
  back.timedGame = state.timedGame;
  back.elapsedMilliseconds = state.elapsedMilliseconds;
  back.mistakeCount = state.mistakeCount;
  FUZZ_CHECK(back == state);
  model.isBoardComplete();
  evaluateStatus(model, false);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  // The reader looks at one byte more than a file of ours has; longer inputs say no more.
  if (size > 2 * kResumeFileSize) return -1;
  const std::span<const uint8_t> input(data, size);

  // From the disk, as the game reads it.
  static const std::filesystem::path file = fuzzsupport::scratchDir() / kResumeFile;
  fuzzsupport::writeFile(file, input);
  const ResumeReadResult read = readResumeFile(file);
  FUZZ_CHECK(read.status != ResumeStatus::kMissing && read.status != ResumeStatus::kUnreadable);
  FUZZ_CHECK(read.ok() == decodeResume(input).ok());
  if (read.ok()) {
    checkAccepted(read.state, input);
    // Written back over itself, it stays the same file.
    FUZZ_CHECK(static_cast<bool>(writeResumeFile(read.state, file)));
    const std::vector<uint8_t> written = fuzzsupport::readFile(file);
    FUZZ_CHECK(std::equal(written.begin(), written.end(), input.begin(), input.end()));
  }

  // The same bytes as the payload of a file with a right header and checksum.
  std::vector<uint8_t> framed = encodeResume([] {
    ResumeState any;
    any.givens[1][1] = any.board[1][1] = 1;
    return any;
  }());
  const std::size_t payload = std::min(size, kResumePayloadSize);
  std::copy_n(input.begin(), payload, framed.begin() + kResumeHeaderSize);
  const uint32_t crc = crc32(std::span<const uint8_t>(framed).first(kResumeFileSize - 4));
  for (std::size_t k = 0; k < 4; ++k) framed[kResumeFileSize - 4 + k] = static_cast<uint8_t>(crc >> (8 * k));
  const ResumeReadResult fields = decodeResume(framed);
  FUZZ_CHECK(fields.status == ResumeStatus::kOk || fields.status == ResumeStatus::kDamaged);
  if (fields.ok()) checkAccepted(fields.state, framed);
  return 0;
}
