// Solving a puzzle with the step solver from start to end, and its grade.
#include "engine/grade.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace punktivo {

namespace {

constexpr std::string_view kGradeNames[kHighestGrade + 1] = {"nicht ohne Probieren lösbar", "Sanft", "Knifflig",
                                                             "Verzwickt", "Teuflisch"};
// Steps of the hardest tier from which a puzzle counts one grade harder.
constexpr int kManyHardSteps = 5;

}  // namespace

std::string_view gradeName(Grade grade) { return kGradeNames[int(grade)]; }

std::optional<Grade> parseGrade(std::string_view text) {
  if (text.size() == 1 && text[0] >= '1' && text[0] <= '0' + kHighestGrade) return Grade(text[0] - '0');
  std::string lower(text);
  for (char& ch : lower) ch = char(std::tolower(static_cast<unsigned char>(ch)));
  for (int g = 1; g <= kHighestGrade; ++g) {
    std::string name(kGradeNames[g]);
    for (char& ch : name) ch = char(std::tolower(static_cast<unsigned char>(ch)));
    if (lower == name) return Grade(g);
  }
  return std::nullopt;
}

int techniqueTier(Technique technique) {
  switch (technique) {
    case Technique::kNakedSingle:
    case Technique::kHiddenSingle:
    case Technique::kDotPair:
    case Technique::kNoDot:
      return 1;
    case Technique::kDotChain:
    case Technique::kLockedCandidates:
    case Technique::kNakedPair:
    case Technique::kHiddenPair:
      return 2;
    case Technique::kNakedTriple:
    case Technique::kHiddenTriple:
    case Technique::kDomino:
      return 3;
    case Technique::kXWing:
    case Technique::kXYChain:
    case Technique::kDotPattern:
      return 4;
  }
  return kHighestGrade;
}

LogicRun solveLogically(const Grid& digits, const Grid& dotsRight, const Grid& dotsDown, bool keepSteps) {
  StepSolver solver(digits, dotsRight, dotsDown);
  LogicRun run;
  while (auto step = solver.nextStep()) {
    solver.apply(*step);
    ++run.steps;
    ++run.counts[int(step->technique)];
    if (!run.hardest || *run.hardest < step->technique) run.hardest = step->technique;
    if (keepSteps) run.trail.push_back(std::move(*step));
  }
  run.solved = solver.solved();
  run.digits = solver.digits();
  run.grade = gradeOf(run);
  return run;
}

Grade gradeOf(const LogicRun& run) {
  if (!run.solved) return Grade::kStuck;
  int tier = 1;
  for (int t = 0; t < kTechniqueCount; ++t)
    if (run.counts[t] > 0) tier = std::max(tier, techniqueTier(Technique(t)));
  int hardSteps = 0;
  for (int t = 0; t < kTechniqueCount; ++t)
    if (techniqueTier(Technique(t)) == tier) hardSteps += run.counts[t];
  if (tier >= 2 && hardSteps >= kManyHardSteps) tier = std::min(tier + 1, kHighestGrade);
  return Grade(tier);
}

}  // namespace punktivo
