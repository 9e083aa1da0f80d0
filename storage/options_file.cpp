// Reading and writing the remembered options.
#include "storage/options_file.h"

#include <sstream>
#include <string>

namespace punktivo {

namespace {
constexpr const char* kHighlight = "hervorheben";
}

void readOptions(const std::filesystem::path& path, Settings& settings) {
  const ReadResult read = readWholeFile(path);
  if (read.status != ReadStatus::kOk) return;
  std::istringstream in(std::string(read.bytes.begin(), read.bytes.end()));
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t equals = line.find('=');
    if (equals == std::string::npos || line.substr(0, equals) != kHighlight) continue;
    const std::string value = line.substr(equals + 1);
    if (value == "0" || value == "1") settings.highlightSameDigits = value == "1";
  }
}

WriteResult writeOptions(const std::filesystem::path& path, const Settings& settings) {
  const std::string text = std::string(kHighlight) + "=" + (settings.highlightSameDigits ? "1" : "0") + "\n";
  return replaceFileContents(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

}  // namespace punktivo
