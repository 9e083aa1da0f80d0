// punktivo-tool's command line, run in-process: the input is the argument list, one argument
// per NUL-separated piece (the program name is added). The tool's own source is built into
// this target with its main renamed (see CMakeLists.txt), so it runs unchanged.
//
// The tool reads and writes the files it is told to, so it runs in a scratch folder that
// holds a few board files, and arguments naming anything outside that folder (a "/") are not
// run. After each input the folder is put back as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "engine/random.h"
#include "fuzz/fuzz_support.h"
#include "storage/board_file.h"

int punktivoToolMain(int argc, char** argv);

namespace {

constexpr std::size_t kMaxArguments = 16;
// "validate --disguises N" works N disguises per record, as asked; more than this makes an
// input slow without reaching anything new.
constexpr unsigned long kMostDisguises = 20;

// The folder's files: the stock collections (so "generate" finds them in the working
// directory, as the game would), a player's file, and files of wrong lengths.
const std::map<std::string, std::vector<uint8_t>>& fixture() {
  static const std::map<std::string, std::vector<uint8_t>> files = [] {
    std::map<std::string, std::vector<uint8_t>> made;
    for (const char* name : {"leicht.ptv", "mittel.ptv", "schwer.ptv", "extrem.ptv"}) {
      made[name] = fuzzsupport::readFile(std::filesystem::path(PUNKTIVO_SOURCE_DATA_DIR) / name);
      if (made[name].size() != punktivo::kBoardFileSize) {
        std::fprintf(stderr, "missing stock collection %s in %s\n", name, PUNKTIVO_SOURCE_DATA_DIR);
        std::abort();
      }
    }
    punktivo::SeededRandom random(7);
    const auto empty = punktivo::freshBoardFile(random);
    std::vector<uint8_t> player = made["mittel.ptv"];
    player[2 * punktivo::kRecordSize + 5] = 0;  // a cell cleared in record 3
    made["brett.ptv"] = player;
    made["empty.ptv"] = std::vector<uint8_t>(empty.begin(), empty.end());
    made["short.ptv"] = std::vector<uint8_t>(player.begin(), player.begin() + 3000);
    made["long.ptv"] = player;
    made["long.ptv"].push_back(7);
    made["zero.ptv"] = {};
    return made;
  }();
  return files;
}

// The folder holds exactly the fixture's files (and its one folder).
bool folderAsLaidOut() {
  const auto& dir = fuzzsupport::scratchDir();
  std::error_code ec;
  std::size_t entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
    ++entries;
    const auto name = entry.path().filename().string();
    if (name == "folder.ptv") continue;
    const auto known = fixture().find(name);
    if (known == fixture().end() || fuzzsupport::readFile(entry.path()) != known->second) {
      std::fprintf(stderr, "changed or new: %s\n", name.c_str());
      return false;
    }
  }
  if (entries != fixture().size() + 1) std::fprintf(stderr, "%zu entries\n", entries);
  return entries == fixture().size() + 1;
}

void layOutFolder() {
  const auto& dir = fuzzsupport::scratchDir();
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
    const auto name = entry.path().filename().string();
    if (!fixture().contains(name) || !entry.is_regular_file(ec)) std::filesystem::remove_all(entry.path(), ec);
  }
  for (const auto& [name, bytes] : fixture())
    if (!std::filesystem::is_regular_file(dir / name, ec) || fuzzsupport::readFile(dir / name) != bytes)
      fuzzsupport::writeFile(dir / name, bytes);
  std::filesystem::create_directory(dir / "folder.ptv", ec);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::filesystem::current_path(fuzzsupport::scratchDir());
  layOutFolder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::vector<std::string> arguments{"punktivo-tool"};
  bool writes = false;
  std::string piece;
  for (std::size_t i = 0; i <= size; ++i) {
    if (i == size || data[i] == 0) {
      writes = writes || piece == "-o";
      arguments.push_back(piece);
      piece.clear();
      if (arguments.size() > kMaxArguments) return -1;
    } else {
      if (data[i] == '/') return -1;  // stays inside the scratch folder
      piece += static_cast<char>(data[i]);
    }
  }
  for (std::size_t i = 1; i + 1 < arguments.size(); ++i)
    if (arguments[i] == "--disguises" && std::strtoul(arguments[i + 1].c_str(), nullptr, 10) > kMostDisguises)
      return -1;
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (auto& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  // The tool prints a lot; what it prints is not under test here, only that it survives.
  // PUNKTIVO_FUZZ_SHOW=1 lets it through, to look at what an input does.
  static fuzzsupport::NullBuffer sink;
  static const bool show = std::getenv("PUNKTIVO_FUZZ_SHOW") != nullptr;
  auto* out = show ? std::cout.rdbuf() : std::cout.rdbuf(&sink);
  auto* err = show ? std::cerr.rdbuf() : std::cerr.rdbuf(&sink);
  const int status = punktivoToolMain(static_cast<int>(arguments.size()), argv.data());
  if (show) std::cerr << "exit status " << status << '\n';
  std::cout.rdbuf(out);
  std::cerr.rdbuf(err);
  std::cout.clear();
  std::cerr.clear();

  FUZZ_CHECK(status >= 0 && status <= 4);
  // Without "-o" the tool only reads: no file may have changed or appeared.
  if (!writes) FUZZ_CHECK(folderAsLaidOut());
  if (writes) layOutFolder();
  return 0;
}
