// Where the game's files are: stock files (collections, help) are searched for, the
// player's own files live in the working directory under their bare names.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace punktivo {

// The player's board file, read and written in the working directory.
inline constexpr const char* kPlayerBoardFile = "brett.ptv";

// The stock collection of a difficulty 0-3: "leicht.ptv", "mittel.ptv", "schwer.ptv",
// "extrem.ptv"; out-of-range values give the easy one.
const char* collectionFileName(int difficulty);

// The folders searched for stock files, in order: the working directory (as ""), the
// folder named by PUNKTIVO_DATA_DIR when it is set and not empty, and the installed data
// folder (installedDataDir()).
std::vector<std::filesystem::path> dataSearchPath();

// The installed data folder. An installed tree may be moved to another prefix (a package
// installs under /usr what was configured for /usr/local, DESTDIR stages it elsewhere), so
// the folder is found from the running program: the first of `relativeToProgram` (e.g.
// "../share/games/punktivo") that, resolved against the program's folder, is an existing
// folder; otherwise the folder compiled in for the configured prefix.
std::filesystem::path installedDataDir(const std::filesystem::path& program,
                                       const std::vector<std::filesystem::path>& relativeToProgram,
                                       const std::filesystem::path& compiledIn);
// The same for the running program (/proc/self/exe) and the paths of this build, seen from
// the game's folder (games/) and from punktivo-tool's (bin/).
std::filesystem::path installedDataDir();

// The first of `folders` that holds a file (not a folder) called `name`, joined with the
// name; the bare name when none does, so a later read finds the file missing as usual.
std::filesystem::path findDataFile(std::string_view name,
                                   const std::vector<std::filesystem::path>& folders);
// The same over dataSearchPath().
std::filesystem::path findDataFile(std::string_view name);

}  // namespace punktivo
