// punktivo-tool's dot-logic operations: hint, solve-logic and make.
#pragma once

#include <optional>

namespace punktivo {

// Runs the operation named by argv[1] and gives its exit code, or nothing when argv[1] is not
// one of hint, solve-logic and make.
std::optional<int> runLogicOperation(int argc, char** argv);

}  // namespace punktivo
