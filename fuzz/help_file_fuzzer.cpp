// The input is a "Punktivo.chm" as it may lie beside the game: cut off, damaged or not a
// help file at all. It is opened as the help command opens it, its two topics are looked up
// and read, and its page list and table of contents are gone through; whatever the file
// holds, the reader must answer or refuse, never crash, and keep its promises.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>

#include "fuzz/fuzz_support.h"
#include "storage/help.h"

using namespace punktivo;

namespace {

constexpr std::size_t kPagesLookedAt = 64;
constexpr std::size_t kPagesRead = 8;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const std::filesystem::path path = fuzzsupport::scratchDir() / kHelpFileName;
  fuzzsupport::writeFile(path, std::span<const uint8_t>(data, size));
  const std::unique_ptr<HelpFile> file = HelpFile::open(path);
  if (!file) return 0;

  // The two topics the game asks for.
  for (const char* topic : {kOverviewTopic, kExplanationTopic}) {
    const auto page = file->findPage(topic);
    if (page) FUZZ_CHECK(helpnames::cleanPath(*page) == *page);
    if (const auto bytes = file->readPage(topic)) FUZZ_CHECK(bytes->size() <= HelpFile::kMaxPageBytes);
  }
  FUZZ_CHECK(!file->findPage("../" + std::string(kOverviewTopic)));
  FUZZ_CHECK(!file->findPage(""));

  // Every stored page is found by its own name (or by a name equal to it but for case).
  const auto pages = file->pages();
  for (std::size_t i = 0; i < pages.size() && i < kPagesLookedAt; ++i) {
    const std::string& page = pages[i];
    FUZZ_CHECK(!page.empty() && page.front() != '/');
    if (helpnames::cleanPath(page) != page) continue;
    const auto found = file->findPage(page);
    FUZZ_CHECK(found.has_value());
    const auto fold = [](const std::string& name) { return helpnames::foldCase(helpnames::decode(name)); };
    FUZZ_CHECK(fold(*found) == fold(page));
    if (i < kPagesRead) {
      if (const auto bytes = file->readPage(page)) FUZZ_CHECK(bytes->size() <= HelpFile::kMaxPageBytes);
    }
  }

  // The table of contents: UTF-8 captions, clean page names, no negative depth.
  for (const HelpContentsEntry& entry : file->contents()) {
    FUZZ_CHECK(fuzzsupport::isStrictUtf8(entry.caption));
    FUZZ_CHECK(helpnames::cleanPath(entry.page) == entry.page);
    FUZZ_CHECK(entry.level >= 0);
  }
  return 0;
}
