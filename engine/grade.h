// Solving a puzzle with the step solver from start to end, and its grade: the hardest technique
// it needs and how often the hard ones were needed.
#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/step_solver.h"

namespace punktivo {

// A small scale of its own, from gentle to fiendish; kStuck when the step solver gets stuck.
enum class Grade : uint8_t { kStuck = 0, kGentle = 1, kTricky = 2, kIntricate = 3, kFiendish = 4 };
inline constexpr int kHighestGrade = 4;

// "Sanft", "Knifflig", "Verzwickt", "Teuflisch", "nicht ohne Probieren lösbar".
std::string_view gradeName(Grade grade);
// The grade of a name, in any case ("knifflig"), or of its number 1-4.
std::optional<Grade> parseGrade(std::string_view text);
// 1 for the singles and the plain dot rules ... 4 for X-wings and chains.
int techniqueTier(Technique technique);

struct LogicRun {
  bool solved = false;
  int steps = 0;
  std::array<int, kTechniqueCount> counts{};  // steps per technique
  std::optional<Technique> hardest;
  Grade grade = Grade::kStuck;
  Grid digits{};            // the board reached
  std::vector<Step> trail;  // every step, when asked for
};

// Steps until solved or stuck.
LogicRun solveLogically(const Grid& digits, const Grid& dotsRight, const Grid& dotsDown, bool keepSteps = false);

// The grade of a run: its hardest tier, one higher when that tier was needed many times.
Grade gradeOf(const LogicRun& run);

}  // namespace punktivo
