// The committed help file against its sources, page names in every spelling a caller or a
// link may use, the links of the pages, and files that are not help files.
#include "storage/help.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>

namespace punktivo {
namespace {

namespace fs = std::filesystem;

const fs::path kData = PUNKTIVO_SOURCE_DATA_DIR;
const fs::path kChm = kData / "Punktivo.chm";
const fs::path kSources = kData / "help";
const fs::path kProject = kSources / "Punktivo.hhp";

std::string readText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> readBytes(const fs::path& path) {
  const std::string text = readText(path);
  return std::vector<uint8_t>(text.begin(), text.end());
}

// The files the project compiles: its [FILES] list and the contents file of [OPTIONS].
std::vector<std::string> projectFiles() {
  std::istringstream in(readText(kProject));
  std::vector<std::string> files;
  std::string line, section;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      section = line;
      continue;
    }
    if (section == "[FILES]") files.push_back(line);
    if (section == "[OPTIONS]" && line.rfind("Contents file=", 0) == 0) files.push_back(line.substr(14));
  }
  return files;
}

using testing::TempDir;
using testing::writeBytes;

class CommittedHelp : public ::testing::Test {
 protected:
  void SetUp() override {
    file = HelpFile::open(kChm);
    ASSERT_NE(file, nullptr) << kChm;
  }
  std::unique_ptr<HelpFile> file;
};

TEST_F(CommittedHelp, EveryProjectFileIsStoredByteForByte) {
  const std::vector<std::string> files = projectFiles();
  ASSERT_GE(files.size(), 5u);
  for (const std::string& name : files) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> source = readBytes(kSources / fs::path(name));
    ASSERT_FALSE(source.empty()) << "source missing";
    const std::optional<std::vector<uint8_t>> stored = file->readPage(name);
    ASSERT_TRUE(stored.has_value()) << "not in the help file: rebuild it with tools/build_help.sh";
    EXPECT_TRUE(*stored == source) << "differs from its source: rebuild it with tools/build_help.sh";
  }
}

TEST_F(CommittedHelp, HoldsNoPageTheProjectDoesNotListAndLeavesNoSourceOut) {
  const std::vector<std::string> files = projectFiles();
  const std::set<std::string> listed(files.begin(), files.end());
  for (const std::string& page : file->pages()) {
    if (page.rfind("_#_", 0) == 0) continue;  // the compiler's own note
    EXPECT_TRUE(listed.count(page)) << page << " is stored but no longer a source";
  }
  for (const auto& entry : fs::recursive_directory_iterator(kSources)) {
    if (!entry.is_regular_file()) continue;
    const std::string name = fs::relative(entry.path(), kSources).generic_string();
    if (name == "Punktivo.hhp") continue;
    EXPECT_TRUE(listed.count(name)) << name << " lies in data/help but is not in the project";
  }
}

TEST_F(CommittedHelp, BothTopicsAreFoundAndAreHtml) {
  for (const char* topic : {kOverviewTopic, kExplanationTopic}) {
    SCOPED_TRACE(topic);
    EXPECT_EQ(file->findPage(topic), std::optional<std::string>(topic));
    const std::optional<std::vector<uint8_t>> page = file->readPage(topic);
    ASSERT_TRUE(page.has_value());
    const std::string text(page->begin(), page->end());
    EXPECT_NE(text.find("<html>"), std::string::npos);
    EXPECT_NE(text.find("charset=utf-8"), std::string::npos);
  }
}

// chmcmd stores a name as the bytes of the project file: UTF-8, composed.
TEST_F(CommittedHelp, UmlautNamesAreStoredAsComposedUtf8) {
  const std::vector<std::string> pages = file->pages();
  EXPECT_NE(std::find(pages.begin(), pages.end(), "\xC3\xBC" "bersicht.htm"), pages.end());
  EXPECT_NE(std::find(pages.begin(), pages.end(), "erkl\xC3\xA4rung.htm"), pages.end());
}

TEST_F(CommittedHelp, TopicsAreFoundInEverySpellingOfTheirName) {
  const std::string overview = kOverviewTopic;
  const std::string explanation = kExplanationTopic;
  const std::pair<std::string, std::string> cases[] = {
      {"/\xC3\xBC" "bersicht.htm", overview},            // leading slash
      {"./\xC3\xBC" "bersicht.htm", overview},           // dot folder
      {"bilder/../\xC3\xBC" "bersicht.htm", overview},   // up and back
      {"\xC3\x9C" "BERSICHT.HTM", overview},             // upper case, umlaut too
      {"u\xCC\x88" "bersicht.htm", overview},            // decomposed u + diaeresis
      {"\xFC" "bersicht.htm", overview},                 // Windows-1252
      {"\xDC" "bersicht.htm", overview},                 // Windows-1252, upper case
      {"Erkla\xCC\x88rung.htm", explanation},            // decomposed, other case
      {"erkl\xE4rung.htm", explanation},                 // Windows-1252
      {"bilder\\knoepfe.png", "bilder/knoepfe.png"},     // backslash
      {"BILDER/Knoepfe.PNG", "bilder/knoepfe.png"},
  };
  for (const auto& [name, stored] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(file->findPage(name), std::optional<std::string>(stored));
    EXPECT_TRUE(file->readPage(name).has_value());
  }
  for (const std::string name : {"uebersicht.htm", "\xC3\xBC" "bersicht.html", "bersicht.htm", "",
                                 "../\xC3\xBC" "bersicht.htm", "/", "bilder", "bilder/"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(file->findPage(name), std::nullopt);
    EXPECT_EQ(file->readPage(name), std::nullopt);
  }
}

// Every link and picture of every page leads to a page of the file.
TEST_F(CommittedHelp, LinksAndPicturesOfEveryPageResolve) {
  const std::regex reference(R"re((href|src)\s*=\s*"([^"]*)")re", std::regex::icase);
  int checked = 0;
  for (const std::string& name : projectFiles()) {
    if (name.size() < 4 || name.substr(name.size() - 4) != ".htm") continue;
    const std::string text = readText(kSources / fs::path(name));
    const std::string folder = fs::path(name).parent_path().generic_string();
    static const std::regex anchor(R"re(name="([^"]+)")re");
    std::set<std::string> anchors;
    for (std::sregex_iterator it(text.begin(), text.end(), anchor), end; it != end; ++it) anchors.insert((*it)[1]);
    for (std::sregex_iterator it(text.begin(), text.end(), reference), end; it != end; ++it) {
      std::string target = (*it)[2];
      SCOPED_TRACE(name + " -> " + target);
      ASSERT_EQ(target.find(':'), std::string::npos) << "a help page links outside the help file";
      const size_t hash = target.find('#');
      const std::string fragment = hash == std::string::npos ? "" : target.substr(hash + 1);
      target = target.substr(0, hash);
      if (target.empty()) {
        EXPECT_TRUE(anchors.count(fragment)) << "no anchor " << fragment;
        continue;
      }
      const std::string path = folder.empty() ? target : folder + "/" + target;
      const std::optional<std::string> stored = file->findPage(path);
      EXPECT_TRUE(stored.has_value());
      if (stored && !fragment.empty()) {
        EXPECT_NE(readText(kSources / fs::path(*stored)).find("name=\"" + fragment + "\""), std::string::npos)
            << "no anchor " << fragment;
      }
      ++checked;
    }
  }
  EXPECT_GE(checked, 20);
}

TEST_F(CommittedHelp, ContentsLeadToTheTopicsWithReadableCaptions) {
  const std::vector<HelpContentsEntry> contents = file->contents();
  ASSERT_GE(contents.size(), 3u);
  EXPECT_EQ(contents[0].caption, "\xC3\x9C" "bersicht");  // from &Uuml;
  EXPECT_EQ(contents[0].page, kOverviewTopic);
  EXPECT_EQ(contents[0].level, 0);
  const auto explanation = std::find_if(contents.begin(), contents.end(),
                                        [](const HelpContentsEntry& e) { return e.page == kExplanationTopic; });
  ASSERT_NE(explanation, contents.end());
  EXPECT_EQ(explanation->caption, "Erkl\xC3\xA4rung");
  EXPECT_EQ(explanation->level, 0);
  // Sections below a page sit one level deeper and name their page and anchor.
  EXPECT_EQ(contents[1].level, 1);
  EXPECT_EQ(contents[1].page.rfind(kOverviewTopic + std::string("#"), 0), 0u);
  for (const HelpContentsEntry& e : contents) {
    SCOPED_TRACE(e.caption);
    EXPECT_TRUE(file->findPage(e.page.substr(0, e.page.find('#'))).has_value());
  }
}

// A section that only the page's own link line leads to is easily missed: every <h2> anchor
// of every page has its entry in the contents list, in the order of the page.
TEST_F(CommittedHelp, ContentsListEverySectionInPageOrder) {
  const std::vector<HelpContentsEntry> contents = file->contents();
  const std::regex section(R"re(<h2><a name="([^"]+)")re");
  for (const std::string& name : projectFiles()) {
    if (name.size() < 4 || name.substr(name.size() - 4) != ".htm") continue;
    const std::string text = readText(kSources / fs::path(name));
    std::vector<std::string> sections, listed;
    for (std::sregex_iterator it(text.begin(), text.end(), section), end; it != end; ++it)
      sections.push_back(name + "#" + (*it)[1].str());
    for (const HelpContentsEntry& e : contents)
      if (e.page.rfind(name + "#", 0) == 0) listed.push_back(e.page);
    EXPECT_EQ(listed, sections) << name;
  }
}

TEST(HelpFile, MissingFoldersAndForeignFilesAreNotOpened) {
  TempDir folder;
  EXPECT_EQ(HelpFile::open(folder / "Punktivo.chm"), nullptr);
  fs::create_directory(folder / "ordner.chm");
  EXPECT_EQ(HelpFile::open(folder / "ordner.chm"), nullptr);
  writeBytes(folder / "leer.chm", {});
  EXPECT_EQ(HelpFile::open(folder / "leer.chm"), nullptr);
  writeBytes(folder / "text.chm", {'<', 'h', 't', 'm', 'l', '>'});
  EXPECT_EQ(HelpFile::open(folder / "text.chm"), nullptr);
}

// A damaged copy must not crash the reader: it either refuses the file or the page.
TEST(HelpFile, TruncatedCopiesGiveNoPageInsteadOfACrash) {
  TempDir folder;
  const std::vector<uint8_t> whole = readBytes(kChm);
  ASSERT_GT(whole.size(), 1000u);
  for (size_t length : {size_t(4), size_t(64), size_t(200), whole.size() / 4, whole.size() / 2, whole.size() - 1}) {
    SCOPED_TRACE(length);
    const fs::path path = folder / ("kurz" + std::to_string(length) + ".chm");
    writeBytes(path, std::vector<uint8_t>(whole.begin(), whole.begin() + std::ptrdiff_t(length)));
    const std::unique_ptr<HelpFile> file = HelpFile::open(path);
    if (!file) continue;
    for (const std::string& name : file->pages()) {
      const std::optional<std::vector<uint8_t>> page = file->readPage(name);
      if (page) {
        // Whatever comes back must be the page as compiled.
        const std::unique_ptr<HelpFile> good = HelpFile::open(kChm);
        EXPECT_EQ(page, good->readPage(name)) << name;
      }
    }
  }
}

// Damage that made chmlib divide by zero, loop for ever or read past its buffers: such a
// file is refused before chmlib reads it.
class DamagedHelp : public ::testing::Test {
 protected:
  void SetUp() override {
    whole = readBytes(kChm);
    const std::unique_ptr<HelpFile> file = HelpFile::open(kChm);
    ASSERT_NE(file, nullptr);
    units = file->units();
    ASSERT_GE(whole.size(), 0x60u);
    dataOffset = get(0x58, 8);
    directoryOffset = get(0x48, 8);
  }
  uint64_t get(size_t at, int bytes) const {
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | whole[at + size_t(i)];
    return v;
  }
  void put(std::vector<uint8_t>& bytes, size_t at, uint64_t value, int count) const {
    for (int i = 0; i < count; ++i) bytes[at + size_t(i)] = uint8_t(value >> (8 * i));
  }
  size_t unitOffset(const std::string& suffix) const {
    for (const HelpFile::Unit& u : units)
      if (u.name.size() >= suffix.size() && u.name.compare(u.name.size() - suffix.size(), suffix.size(), suffix) == 0)
        return size_t(dataOffset + u.start);
    ADD_FAILURE() << "no unit " << suffix;
    return 0;
  }
  bool opens(const std::vector<uint8_t>& bytes) {
    const fs::path path = folder / "kaputt.chm";
    writeBytes(path, bytes);
    const std::unique_ptr<HelpFile> file = HelpFile::open(path);
    if (file)
      for (const std::string& page : file->pages()) file->readPage(page);
    return file != nullptr;
  }

  TempDir folder;
  std::vector<uint8_t> whole;
  std::vector<HelpFile::Unit> units;
  uint64_t dataOffset = 0, directoryOffset = 0;
};

TEST_F(DamagedHelp, AnUntouchedCopyOpens) { EXPECT_TRUE(opens(whole)); }

TEST_F(DamagedHelp, WindowSizesThatWouldDivideByZeroAreRefused) {
  const size_t control = unitOffset("/ControlData");
  // In 32 KiB units: none, 96 KiB, 4 MiB (beyond LZX), and one that wraps to 0 in 32 bits.
  for (uint64_t window : {0u, 3u, 0x80u, 0x20000u}) {
    SCOPED_TRACE(window);
    std::vector<uint8_t> bytes = whole;
    put(bytes, control + 16, window, 4);
    EXPECT_FALSE(opens(bytes));
  }
  std::vector<uint8_t> bytes = whole;
  put(bytes, control + 12, 0, 4);  // reset interval
  EXPECT_FALSE(opens(bytes));
  bytes = whole;
  put(bytes, control + 20, 0, 4);  // windows per reset
  EXPECT_FALSE(opens(bytes));
}

TEST_F(DamagedHelp, ResetTablesPointingPastTheirBlocksAreRefused) {
  const size_t table = unitOffset("/ResetTable");
  const uint64_t tableOffset = get(table + 12, 4);
  const uint64_t blocks = get(table + 4, 4);
  std::vector<uint8_t> bytes = whole;
  put(bytes, table + 0x18, get(table + 0x18, 8) + 100000, 8);  // compressed length beyond the content
  EXPECT_FALSE(opens(bytes));
  bytes = whole;
  put(bytes, table + 4, 100000, 4);  // more blocks than the table holds
  EXPECT_FALSE(opens(bytes));
  if (blocks >= 2) {
    bytes = whole;
    put(bytes, size_t(table + tableOffset + 8), 0xFFFFFF, 8);  // a block starting beyond the end
    EXPECT_FALSE(opens(bytes));
  }
}

TEST_F(DamagedHelp, DirectoryLoopsAndOverrunsAreRefused) {
  const size_t itsp = size_t(directoryOffset);
  const uint64_t blockLength = get(itsp + 0x10, 4);
  const size_t firstChunk = itsp + 0x54 + size_t(get(itsp + 0x20, 4) * blockLength);
  std::vector<uint8_t> bytes = whole;
  put(bytes, firstChunk + 0x10, get(itsp + 0x20, 4), 4);  // the listing chunk names itself as next
  EXPECT_FALSE(opens(bytes));
  bytes = whole;
  put(bytes, itsp + 0x20, 5000, 4);  // a first chunk beyond the directory
  EXPECT_FALSE(opens(bytes));
  bytes = whole;
  put(bytes, firstChunk + 4, blockLength, 4);  // free space larger than the chunk
  EXPECT_FALSE(opens(bytes));
  bytes = whole;
  bytes[firstChunk + 0x14] = 0xFF;  // the first name's length runs out of the chunk
  bytes[firstChunk + 0x15] = 0x7F;
  EXPECT_FALSE(opens(bytes));
}

TEST(HelpNames, CleanPathDropsDotsSlashesAndClimbs) {
  using helpnames::cleanPath;
  EXPECT_EQ(cleanPath("/a.htm"), "a.htm");
  EXPECT_EQ(cleanPath("\\bilder\\x.png"), "bilder/x.png");
  EXPECT_EQ(cleanPath("./a/./b//c.htm"), "a/b/c.htm");
  EXPECT_EQ(cleanPath("a/../b.htm"), "b.htm");
  EXPECT_EQ(cleanPath("../b.htm"), "");
  EXPECT_EQ(cleanPath("a/../../b.htm"), "");
  EXPECT_EQ(cleanPath("/"), "");
}

TEST(HelpNames, BytesThatAreNotUtf8AreReadAsWindows1252) {
  using helpnames::decode;
  EXPECT_EQ(decode("\xC3\xBC"), U"\u00FC");
  EXPECT_EQ(decode("\xFC"), U"\u00FC");
  EXPECT_EQ(decode("\x80\x9F"), U"\u20AC\u0178");
  EXPECT_EQ(decode("\xC0\xAF"), U"\u00C0\u00AF");  // overlong '/' is no UTF-8
  EXPECT_EQ(decode("\xED\xA0\x80"), U"\u00ED\u00A0\u20AC");  // nor is a surrogate
  EXPECT_EQ(decode("a\xC3"), U"a\u00C3");            // cut short
  EXPECT_EQ(decode("\xF0\x9F\x98\x80"), U"\U0001F600");
  EXPECT_EQ(helpnames::encodeUtf8(U"\u00FC\u20AC\U0001F600a"), "\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80" "a");
}

TEST(HelpNames, AccentsComposeAndCaseFolds) {
  using helpnames::compose;
  using helpnames::foldCase;
  EXPECT_EQ(compose(U"u\u0308a\u0308O\u0308"), U"\u00FC\u00E4\u00D6");
  EXPECT_EQ(compose(U"\u0308u"), U"\u0308u");       // a mark with nothing before it stays
  EXPECT_EQ(compose(U"x\u0308"), U"x\u0308");       // no composed x with diaeresis
  EXPECT_EQ(foldCase(U"\u00DCBER\u00C4\u00D7\u0160\u0178"), U"\u00FCber\u00E4\u00D7\u0161\u00FF");
  EXPECT_EQ(foldCase(U"\u00DF"), U"\u00DF");
}

}  // namespace
}  // namespace punktivo
