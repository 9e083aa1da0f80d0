// The options the game remembers between runs, in "punktivo.opt" in the working directory:
// one "name=value" line each. The file exists only once the player has changed an option.
#pragma once

#include <filesystem>

#include "engine/board_model.h"
#include "storage/atomic_file.h"

namespace punktivo {

inline constexpr const char* kOptionsFile = "punktivo.opt";

// Takes the remembered options into `settings`; a missing file, an unknown line or a bad
// value leaves the option at what `settings` holds.
void readOptions(const std::filesystem::path& path, Settings& settings);
WriteResult writeOptions(const std::filesystem::path& path, const Settings& settings);

}  // namespace punktivo
