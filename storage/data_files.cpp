// Lookup of stock files.
#include "storage/data_files.h"

#include <cstdlib>

#ifndef PUNKTIVO_INSTALLED_DATA_DIR
#define PUNKTIVO_INSTALLED_DATA_DIR "/usr/local/share/games/punktivo"
#endif
// The data folder as seen from the folders the programs are installed in: the game's
// (games/) and punktivo-tool's (bin/).
#ifndef PUNKTIVO_DATA_DIR_FROM_GAMES
#define PUNKTIVO_DATA_DIR_FROM_GAMES "../share/games/punktivo"
#endif
#ifndef PUNKTIVO_DATA_DIR_FROM_BIN
#define PUNKTIVO_DATA_DIR_FROM_BIN "../share/games/punktivo"
#endif

namespace punktivo {

const char* collectionFileName(int difficulty) {
  static constexpr const char* kNames[4] = {"leicht.ptv", "mittel.ptv", "schwer.ptv", "extrem.ptv"};
  return kNames[difficulty >= 0 && difficulty <= 3 ? difficulty : 0];
}

std::vector<std::filesystem::path> dataSearchPath() {
  std::vector<std::filesystem::path> folders{std::filesystem::path()};
  if (const char* env = std::getenv("PUNKTIVO_DATA_DIR"); env != nullptr && *env != '\0')
    folders.emplace_back(env);
  folders.push_back(installedDataDir());
  return folders;
}

std::filesystem::path installedDataDir(const std::filesystem::path& program,
                                       const std::vector<std::filesystem::path>& relativeToProgram,
                                       const std::filesystem::path& compiledIn) {
  if (!program.is_absolute()) return compiledIn;
  for (const auto& relative : relativeToProgram) {
    if (relative.empty()) continue;
    std::filesystem::path beside = (program.parent_path() / relative).lexically_normal();
    std::error_code ec;
    if (std::filesystem::is_directory(beside, ec)) return beside;
  }
  return compiledIn;
}

std::filesystem::path installedDataDir() {
  std::error_code ec;
  // Empty when /proc is not there; the compiled-in folder is taken then.
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
  // Which of the two folders this program was installed in is not known here; a folder
  // that exists at the other one's relative place would belong to the same tree.
  return installedDataDir(ec ? std::filesystem::path() : program,
                          {PUNKTIVO_DATA_DIR_FROM_GAMES, PUNKTIVO_DATA_DIR_FROM_BIN},
                          PUNKTIVO_INSTALLED_DATA_DIR);
}

std::filesystem::path findDataFile(std::string_view name,
                                   const std::vector<std::filesystem::path>& folders) {
  for (const auto& folder : folders) {
    std::filesystem::path candidate = folder / std::filesystem::path(name);
    std::error_code ec;
    if (std::filesystem::exists(candidate, ec) && !std::filesystem::is_directory(candidate, ec))
      return candidate;
  }
  return std::filesystem::path(name);
}

std::filesystem::path findDataFile(std::string_view name) {
  return findDataFile(name, dataSearchPath());
}

}  // namespace punktivo
