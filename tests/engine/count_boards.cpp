// Board families for the exact counter.
#include "count_boards.h"

#include "engine/rules.h"
#include "test_boards.h"

namespace punktivo::testing {

namespace {

int draw(std::mt19937_64& rng, int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }

// A white or black dot at a random place between two neighbours.
void addRandomDot(Puzzle& p, std::mt19937_64& rng) {
  Grid& dots = draw(rng, 0, 1) == 0 ? p.dotsRight : p.dotsDown;
  dots[draw(rng, 1, 9)][draw(rng, 1, 8)] = uint8_t(draw(rng, kWhiteDot, kBlackDot));
}

Puzzle nearEmpty(std::mt19937_64& rng) {
  Puzzle p;
  for (int n = draw(rng, 0, 6); n > 0; --n) addRandomDot(p, rng);
  return p;
}

Puzzle clearedFew(std::mt19937_64& rng) {
  Puzzle p;
  for (int n = draw(rng, 1, 4); n > 0; --n) {
    if (draw(rng, 0, 1) == 0)
      p.givens[draw(rng, 1, 9)][draw(rng, 1, 9)] = uint8_t(draw(rng, 1, 9));
    else
      addRandomDot(p, rng);
  }
  return p;
}

// Each pair gets a dot with the board's density; white twice as often as black.
Puzzle randomDots(std::mt19937_64& rng) {
  Puzzle p;
  const int percent = draw(rng, 0, 100);
  for (Grid* dots : {&p.dotsRight, &p.dotsDown})
    for (int i = 1; i <= 9; ++i)
      for (int j = 1; j <= 8; ++j)
        if (draw(rng, 0, 99) < percent) (*dots)[i][j] = draw(rng, 0, 2) < 2 ? kWhiteDot : kBlackDot;
  return p;
}

Puzzle validPuzzle(std::mt19937_64& rng) {
  const Grid full = randomSolution(rng);
  Puzzle p = dotsOf(full);
  p.givens = keepSome(full, draw(rng, 0, 40), rng);
  return p;
}

Puzzle oneWrongDigit(std::mt19937_64& rng) {
  const Grid full = randomSolution(rng);
  Puzzle p = dotsOf(full);
  p.givens = full;
  uint8_t& wrong = p.givens[draw(rng, 1, 9)][draw(rng, 1, 9)];
  wrong = uint8_t((wrong + draw(rng, 0, 7)) % 9 + 1);  // any digit but its own
  return p;
}

}  // namespace

const char* familyName(CountFamily family) {
  switch (family) {
    case CountFamily::nearEmpty: return "nearEmpty";
    case CountFamily::clearedFew: return "clearedFew";
    case CountFamily::randomDots: return "randomDots";
    case CountFamily::validPuzzle: return "validPuzzle";
    case CountFamily::oneWrongDigit: return "oneWrongDigit";
  }
  return "?";
}

Puzzle makeCountBoard(CountFamily family, std::mt19937_64& rng) {
  switch (family) {
    case CountFamily::nearEmpty: return nearEmpty(rng);
    case CountFamily::clearedFew: return clearedFew(rng);
    case CountFamily::randomDots: return randomDots(rng);
    case CountFamily::validPuzzle: return validPuzzle(rng);
    case CountFamily::oneWrongDigit: return oneWrongDigit(rng);
  }
  return {};
}

Puzzle dotsOf(const Grid& full) {
  NullDisplay display;
  BoardModel model(display);
  model.board = full;
  deriveDots(model);
  return {Grid{}, model.dotsRight, model.dotsDown};
}

}  // namespace punktivo::testing
