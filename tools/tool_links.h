// punktivo-tool's link operations: a record as a link of the web's solving tools, and a link
// (or a file holding one) read back into a record.
#pragma once

#include <optional>

namespace punktivo {

// Runs "export" or "import" (argv[1]) and returns the exit code; nullopt for any other
// operation, which the caller runs itself.
std::optional<int> runLinkOperation(int argc, char** argv);

}  // namespace punktivo
