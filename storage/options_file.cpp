// Reading and writing the remembered options.
#include "storage/options_file.h"

#include <sstream>
#include <string>

namespace punktivo {

namespace {

constexpr const char* kHighlight = "hervorheben";
constexpr const char* kTidyNotes = "bereinigen";
constexpr const char* kMarkErrors = "fehlermarke";

// The remembered switches, by their names in the file.
bool* optionNamed(const std::string& name, Settings& settings) {
  if (name == kHighlight) return &settings.highlightSameDigits;
  if (name == kTidyNotes) return &settings.tidyNotes;
  if (name == kMarkErrors) return &settings.markErrors;
  return nullptr;
}

}  // namespace

void readOptions(const std::filesystem::path& path, Settings& settings) {
  const ReadResult read = readWholeFile(path);
  if (read.status != ReadStatus::kOk) return;
  std::istringstream in(std::string(read.bytes.begin(), read.bytes.end()));
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    bool* option = optionNamed(line.substr(0, equals), settings);
    const std::string value = line.substr(equals + 1);
    if (option != nullptr && (value == "0" || value == "1")) *option = value == "1";
  }
}

WriteResult writeOptions(const std::filesystem::path& path, const Settings& settings) {
  std::string text = std::string(kHighlight) + "=" + (settings.highlightSameDigits ? "1" : "0") + "\n";
  // The newer switches only when on: with them off the file reads as it always did.
  if (settings.tidyNotes) text += std::string(kTidyNotes) + "=1\n";
  if (settings.markErrors) text += std::string(kMarkErrors) + "=1\n";
  return replaceFileContents(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

}  // namespace punktivo
