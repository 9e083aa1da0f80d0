// The input is a board file as it may lie on a player's disk: any length, any bytes. Every
// record the reader delivers goes the way a loaded board goes in the game (solution, count,
// error check, candidates, solve, dots; drawing through a null display) and through the exact
// solver and is encoded again; one of them, picked by the input's last byte, is saved back into
// the file. The reader's, the writer's and the save's promises are checked.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "engine/board_model.h"
#include "engine/exact_solver.h"
#include "engine/generator.h"
#include "engine/random.h"
#include "engine/rules.h"
#include "engine/solver.h"
#include "engine/status_check.h"
#include "fuzz/fuzz_support.h"
#include "storage/board_file.h"

using namespace punktivo;

namespace {

// What decodeRecord promises about the data part of a record.
void checkDecoded(const BoardModel& model, std::span<const uint8_t> data) {
  for (int i = 0; i < 10; ++i)
    for (int j = 0; j < 10; ++j) {
      const uint8_t digit = data[kBoardOffset + 10 * i + j];
      const uint8_t given = data[kGivensOffset + 10 * i + j];
      FUZZ_CHECK(model.board[i][j] == (digit <= 9 ? digit : 0));
      FUZZ_CHECK(model.givens[i][j] == (given <= 9 ? given : 0));
      FUZZ_CHECK(model.dotsRight[i][j] == data[kDotsRightOffset + 10 * i + j]);
      FUZZ_CHECK(model.dotsDown[i][j] == data[kDotsDownOffset + 10 * i + j]);
    }
  for (int r = 0; r <= 9; ++r)
    for (int c = 0; c <= 9; ++c)
      for (int d = 0; d <= 9; ++d) {
        const uint8_t stored = data[kCandidatesOffset + 100 * d + 10 * r + c];
        FUZZ_CHECK(model.candidatesStore[r][c][d] == stored);
        const bool inside = r >= 1 && c >= 1 && d >= 1;
        FUZZ_CHECK(model.candidates[r][c][d] == (inside && stored != 0));
      }
}

bool digitsInRange(const Grid& grid) {
  for (const auto& row : grid)
    for (uint8_t digit : row)
      if (digit > 9) return false;
  return true;
}

// The exact solve's bound on steps here: the stock puzzles take one, their dots without
// givens up to five, a nearly empty board without a solution thousands, which would make those
// inputs cost milliseconds each. Within this bound the plain search answers, and the box
// tables (dearer to build than the whole rest of an input) are never built.
constexpr long kExactSteps = 16;

// The exact solve of the record's puzzle, as punktivo-tool solve-exact runs it: a solution
// it reports is a full sudoku that keeps every given and every dot rule.
void solvedExactly(const BoardModel& model) {
  const ExactSolution exact = solveExactWithin(model.givens, model.dotsRight, model.dotsDown, kExactSteps);
  FUZZ_CHECK(exact.solutions >= -1 && exact.solutions <= 2);
  if (!exact.unique()) return;
  const Grid& grid = exact.grid;
  FUZZ_CHECK(isValidSolution(grid));
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) {
      const uint8_t given = model.givens[r][c];
      FUZZ_CHECK(given < 1 || given > 9 || grid[r][c] == given);
      if (c < 9) FUZZ_CHECK(dotRuleHolds(model.dotsRight[r][c], grid[r][c], grid[r][c + 1]));
      if (r < 9) FUZZ_CHECK(dotRuleHolds(model.dotsDown[c][r], grid[r][c], grid[r + 1][c]));
    }
}

// A loaded record, on the road it takes in the game.
void throughTheEngine(BoardModel& model, Settings& settings, Solver& solver) {
  solvedExactly(model);
  // After the load dialog: the solution is computed, then the panels count and check.
  solver.computeSolution();
  model.isBoardComplete();
  const StatusResult status = evaluateStatus(model, false);
  FUZZ_CHECK(digitsInRange(model.solution));

  // Computed candidates, then the candidate solver unseen, then the dots of what it left.
  settings.showCandidates = true;
  solver.refreshCandidates();
  solver.computeCandidates();
  model.quietMode = true;
  solver.solveWithCandidates();
  model.quietMode = false;
  FUZZ_CHECK(digitsInRange(model.board));
  deriveDots(model);
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) {
      FUZZ_CHECK(model.dotsRight[r][c] <= kBlackDot);
      FUZZ_CHECK(model.dotsDown[c][r] <= kBlackDot);
    }
  model.isBoardComplete();
  evaluateStatus(model, status.boardFull);
}

// encodeRecord, then decodeRecord, gives back the model as it was.
void checkRoundTrip(BoardModel& model, RandomSource& random, BoardDisplay& display) {
  const RecordBytes record = encodeRecord(model, random);
  for (std::size_t i = kFillerOffset; i < kRecordSize; ++i) FUZZ_CHECK(record[i] >= 1 && record[i] <= 9);
  for (std::size_t i = kCandidatesOffset; i < kFillerOffset; ++i)
    FUZZ_CHECK(record[i] == 0x00 || record[i] == 0xFF);
  BoardModel back(display);
  decodeRecord(std::span<const uint8_t, kRecordDataSize>(record.data(), kRecordDataSize), back);
  FUZZ_CHECK(back.board == model.board);
  FUZZ_CHECK(back.givens == model.givens);
  FUZZ_CHECK(back.dotsRight == model.dotsRight);
  FUZZ_CHECK(back.dotsDown == model.dotsDown);
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c)
      for (int d = 1; d <= 9; ++d) FUZZ_CHECK(back.candidates[r][c][d] == model.candidates[r][c][d]);
}

// saveBoardRecord(slot) over a file that held `before`.
void checkSaved(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after, int slot,
                const BoardModel& model, BoardDisplay& display) {
  FUZZ_CHECK(after.size() == std::max(before.size(), kBoardFileSize));
  const std::size_t start = kRecordSize * static_cast<std::size_t>(slot);
  BoardModel written(display);
  decodeRecord(std::span<const uint8_t, kRecordDataSize>(after.data() + start, kRecordDataSize), written);
  FUZZ_CHECK(written.board == model.board && written.givens == model.givens);
  FUZZ_CHECK(written.dotsRight == model.dotsRight && written.dotsDown == model.dotsDown);
  for (int k = 0; k < kRecordsPerFile; ++k) {
    if (k == slot) continue;
    const std::size_t other = kRecordSize * static_cast<std::size_t>(k);
    if (before.size() == kBoardFileSize) {
      // The other three records are kept byte for byte.
      FUZZ_CHECK(std::equal(after.begin() + other, after.begin() + other + kRecordSize, before.begin() + other));
    } else {
      // A file of the wrong length is laid out afresh: the other records are empty.
      FUZZ_CHECK(std::all_of(after.begin() + other, after.begin() + other + kRecordDataSize,
                             [](uint8_t b) { return b == 0; }));
    }
  }
  // Whatever lay beyond the four records stays.
  if (before.size() > kBoardFileSize)
    FUZZ_CHECK(std::equal(before.begin() + kBoardFileSize, before.end(), after.begin() + kBoardFileSize));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  // The file ends where the input ends; a 1 MB board file says nothing the first 9601 bytes
  // would not, so longer inputs are not worth the time.
  if (size > kBoardFileSize + kRecordSize) return -1;
  const std::span<const uint8_t> input(data, size);
  static const std::filesystem::path file = fuzzsupport::scratchDir() / "brett.ptv";

  NullDisplay display;
  SeededRandom random(size);
  fuzzsupport::writeFile(file, input);
  // Saving lays out a whole file afresh (random filler) when the input is not one: once per
  // input, in the slot the last byte picks among the whole records, costs a quarter of four.
  const int wholeRecords = size < kRecordDataSize ? 0 : static_cast<int>((size - kRecordDataSize) / kRecordSize) + 1;
  const int saveSlot = wholeRecords == 0 ? -1 : data[size - 1] % std::min(wholeRecords, kRecordsPerFile);
  for (int slot = 0; slot < kRecordsPerFile; ++slot) {
    BoardModel model(display);
    Settings settings;
    settings.fillLevelNames();
    Solver solver(model, settings);
    BoardFile boardFile(model, random);
    boardFile.boardFileName = file.string();

    const LoadResult load = boardFile.loadBoardRecord(slot);
    const std::size_t start = kRecordSize * static_cast<std::size_t>(slot);
    const bool whole = size >= start + kRecordDataSize;
    FUZZ_CHECK(load.loaded() == whole);
    if (!whole) {
      // A file that ends before the record does leaves the board as it was.
      FUZZ_CHECK(load.status == LoadStatus::kTooShort);
      FUZZ_CHECK(model.board == Grid{} && model.givens == Grid{} && model.dotsRight == Grid{});
      continue;
    }
    checkDecoded(model, input.subspan(start, kRecordDataSize));

    throughTheEngine(model, settings, solver);
    checkRoundTrip(model, random, display);
    if (slot != saveSlot) continue;

    const std::vector<uint8_t> before(input.begin(), input.end());
    const SaveResult save = boardFile.saveBoardRecord(slot);
    FUZZ_CHECK(save.saved());
    checkSaved(before, fuzzsupport::readFile(file), slot, model, display);
    fuzzsupport::writeFile(file, input);  // the later records are read from the input
  }
  return 0;
}
