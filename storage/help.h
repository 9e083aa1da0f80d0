// The compiled HTML help file: opening it with chmlib, finding a page by the name a
// caller or a link uses, reading its bytes, and its table of contents.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct chmFile;

namespace punktivo {

// The help file the game ships, and its two topics.
inline constexpr const char* kHelpFileName = "Punktivo.chm";
inline constexpr const char* kOverviewTopic = "übersicht.htm";
inline constexpr const char* kExplanationTopic = "erklärung.htm";

// One line of the table of contents: its caption, the page it opens, and its depth
// (0 at the top level).
struct HelpContentsEntry {
  std::string caption;  // UTF-8
  std::string page;     // as stored, without the leading '/'
  int level = 0;
};

class HelpFile {
 public:
  // Opens a .chm file; nothing when it is missing, not a regular file, not a compiled help
  // file, cut short, or damaged in its directory or compression headers (those are checked
  // before chmlib sees the file).
  static std::unique_ptr<HelpFile> open(const std::filesystem::path& path);
  ~HelpFile();
  HelpFile(const HelpFile&) = delete;
  HelpFile& operator=(const HelpFile&) = delete;

  // The stored name (without the leading '/') of the page that `name` means, or nothing.
  // `name` may carry a leading '/', "./" or "..", backslashes, another case, and its
  // umlauts in UTF-8 (composed or decomposed) or in Windows-1252. The stored names are
  // tried in that order: the exact path, then the same letters in another case, then
  // equal after composing accents and reading bytes that are not UTF-8 as Windows-1252.
  std::optional<std::string> findPage(std::string_view name) const;

  // The bytes of the page that `name` means (see findPage); nothing when it is missing
  // or cannot be read whole.
  std::optional<std::vector<uint8_t>> readPage(std::string_view name) const;

  // Every stored file, without folders and without the help system's own entries
  // (names starting with '#', '$' or "::"); stored names without the leading '/'.
  std::vector<std::string> pages() const;

  // The entries of the first table of contents (.hhc) stored in the file; empty when
  // there is none.
  std::vector<HelpContentsEntry> contents() const;

  const std::filesystem::path& path() const { return path_; }

  // Largest page that is read; a bigger length in the directory counts as damage.
  static constexpr uint64_t kMaxPageBytes = 16u << 20;

  // An entry of the file's directory: its full stored name ("/page.htm", "::DataSpace/...",
  // folders end in '/'), its section (0 plain, 1 compressed) and where it lies there.
  struct Unit {
    std::string name;
    uint64_t space = 0, start = 0, length = 0;
  };
  // The whole directory, the help system's own entries included.
  const std::vector<Unit>& units() const { return units_; }

 private:
  HelpFile(::chmFile* handle, std::filesystem::path path, std::vector<Unit> units)
      : handle_(handle), path_(std::move(path)), units_(std::move(units)) {}
  const Unit* unit(std::string_view storedName) const;

  ::chmFile* handle_;
  std::filesystem::path path_;
  std::vector<Unit> units_;  // as checked before chmlib saw the file
};

// Name matching, open for tests.
namespace helpnames {

// '\' as '/', without leading '/' and "./", "a/../b" as "b"; "" for a name that climbs
// above the top.
std::string cleanPath(std::string_view name);

// Code points of `bytes`: UTF-8 when the bytes are valid UTF-8, else Windows-1252.
std::u32string decode(std::string_view bytes);

// Latin letters with a following combining accent put together (the composed form of
// the letters Windows-1252 knows).
std::u32string compose(std::u32string_view text);

// Lower case for ASCII and the Latin-1 and Windows-1252 letters.
std::u32string foldCase(std::u32string_view text);

// UTF-8 of code points.
std::string encodeUtf8(std::u32string_view text);

}  // namespace helpnames

}  // namespace punktivo
