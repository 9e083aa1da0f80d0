// Reading the compiled help file with chmlib.
#include "storage/help.h"

#include <chm_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <utility>

namespace punktivo {

namespace helpnames {

std::string cleanPath(std::string_view name) {
  std::vector<std::string> parts;
  std::string part;
  bool climbedOut = false;
  const auto flush = [&] {
    if (part == "..") {
      if (parts.empty()) climbedOut = true;
      else parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    part.clear();
  };
  for (char ch : name) {
    if (ch == '/' || ch == '\\') flush();
    else part += ch;
  }
  flush();
  if (climbedOut) return {};
  std::string out;
  for (const std::string& p : parts) {
    if (!out.empty()) out += '/';
    out += p;
  }
  return out;
}

namespace {

// Windows-1252 bytes 0x80-0x9F; 0 where the code page leaves a byte undefined.
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool decodeUtf8(std::string_view bytes, std::u32string& out) {
  out.clear();
  for (size_t i = 0; i < bytes.size();) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    int extra = 0;
    char32_t cp = 0;
    if (b < 0x80) cp = b;
    else if ((b & 0xE0) == 0xC0) cp = b & 0x1F, extra = 1;
    else if ((b & 0xF0) == 0xE0) cp = b & 0x0F, extra = 2;
    else if ((b & 0xF8) == 0xF0) cp = b & 0x07, extra = 3;
    else return false;
    if (i + static_cast<size_t>(extra) >= bytes.size() && extra > 0) return false;
    for (int k = 1; k <= extra; ++k) {
      const auto c = static_cast<unsigned char>(bytes[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    // Overlong forms, surrogates and values beyond Unicode are not UTF-8.
    static constexpr char32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    out += cp;
    i += static_cast<size_t>(extra) + 1;
  }
  return true;
}

struct Composition {
  char32_t base, mark, composed;
};

// Base letter + combining accent -> the composed letter, for every letter of
// Windows-1252 that has a composed form.
constexpr Composition kCompositions[] = {
    {U'A', 0x300, 0xC0}, {U'A', 0x301, 0xC1}, {U'A', 0x302, 0xC2}, {U'A', 0x303, 0xC3},
    {U'A', 0x308, 0xC4}, {U'A', 0x30A, 0xC5}, {U'C', 0x327, 0xC7}, {U'E', 0x300, 0xC8},
    {U'E', 0x301, 0xC9}, {U'E', 0x302, 0xCA}, {U'E', 0x308, 0xCB}, {U'I', 0x300, 0xCC},
    {U'I', 0x301, 0xCD}, {U'I', 0x302, 0xCE}, {U'I', 0x308, 0xCF}, {U'N', 0x303, 0xD1},
    {U'O', 0x300, 0xD2}, {U'O', 0x301, 0xD3}, {U'O', 0x302, 0xD4}, {U'O', 0x303, 0xD5},
    {U'O', 0x308, 0xD6}, {U'U', 0x300, 0xD9}, {U'U', 0x301, 0xDA}, {U'U', 0x302, 0xDB},
    {U'U', 0x308, 0xDC}, {U'Y', 0x301, 0xDD}, {U'a', 0x300, 0xE0}, {U'a', 0x301, 0xE1},
    {U'a', 0x302, 0xE2}, {U'a', 0x303, 0xE3}, {U'a', 0x308, 0xE4}, {U'a', 0x30A, 0xE5},
    {U'c', 0x327, 0xE7}, {U'e', 0x300, 0xE8}, {U'e', 0x301, 0xE9}, {U'e', 0x302, 0xEA},
    {U'e', 0x308, 0xEB}, {U'i', 0x300, 0xEC}, {U'i', 0x301, 0xED}, {U'i', 0x302, 0xEE},
    {U'i', 0x308, 0xEF}, {U'n', 0x303, 0xF1}, {U'o', 0x300, 0xF2}, {U'o', 0x301, 0xF3},
    {U'o', 0x302, 0xF4}, {U'o', 0x303, 0xF5}, {U'o', 0x308, 0xF6}, {U'u', 0x300, 0xF9},
    {U'u', 0x301, 0xFA}, {U'u', 0x302, 0xFB}, {U'u', 0x308, 0xFC}, {U'y', 0x301, 0xFD},
    {U'y', 0x308, 0xFF}, {U'S', 0x30C, 0x160}, {U's', 0x30C, 0x161}, {U'Y', 0x308, 0x178},
    {U'Z', 0x30C, 0x17D}, {U'z', 0x30C, 0x17E},
};

}  // namespace

std::u32string decode(std::string_view bytes) {
  std::u32string out;
  if (decodeUtf8(bytes, out)) return out;
  out.clear();
  for (char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    if (b >= 0x80 && b < 0xA0) out += kCp1252High[b - 0x80] != 0 ? kCp1252High[b - 0x80] : char32_t(b);
    else out += char32_t(b);
  }
  return out;
}

std::u32string compose(std::u32string_view text) {
  std::u32string out;
  for (char32_t cp : text) {
    if (!out.empty()) {
      const auto it = std::find_if(std::begin(kCompositions), std::end(kCompositions),
                                   [&](const Composition& c) { return c.base == out.back() && c.mark == cp; });
      if (it != std::end(kCompositions)) {
        out.back() = it->composed;
        continue;
      }
    }
    out += cp;
  }
  return out;
}

std::u32string foldCase(std::u32string_view text) {
  std::u32string out(text);
  for (char32_t& cp : out) {
    if ((cp >= U'A' && cp <= U'Z') || (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7)) cp += 0x20;
    else if (cp == 0x160 || cp == 0x17D || cp == 0x152) cp += 1;
    else if (cp == 0x178) cp = 0xFF;
  }
  return out;
}

std::string encodeUtf8(std::u32string_view text) {
  std::string out;
  for (char32_t cp : text) {
    if (cp < 0x80) {
      out += char(cp);
    } else if (cp < 0x800) {
      out += char(0xC0 | (cp >> 6));
      out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += char(0xE0 | (cp >> 12));
      out += char(0x80 | ((cp >> 6) & 0x3F));
      out += char(0x80 | (cp & 0x3F));
    } else {
      out += char(0xF0 | (cp >> 18));
      out += char(0x80 | ((cp >> 12) & 0x3F));
      out += char(0x80 | ((cp >> 6) & 0x3F));
      out += char(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

}  // namespace helpnames

namespace {

using namespace helpnames;

bool isSystemName(std::string_view stored) {
  // Stored names start with '/'; the help system's own entries follow with '#' or '$',
  // and the container's with "::".
  return stored.empty() || stored[0] != '/' || (stored.size() > 1 && (stored[1] == '#' || stored[1] == '$'));
}

// --- the container -------------------------------------------------------------------
// chmlib trusts the file it reads: a cut-off file gives zeros for its missing bytes, and a
// damaged directory or compression header makes it read past its buffers, loop for ever
// or divide by zero. So the directory and the compression headers are read and checked
// here first; chmlib opens only a file that passed, and reads only units found here.

uint64_t littleEndian(const unsigned char* bytes, int count) {
  uint64_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
  return value;
}

int32_t signed32(const unsigned char* bytes) { return static_cast<int32_t>(littleEndian(bytes, 4)); }

// A directory number: 7 bits a byte, the high bit set on all but the last; at most 9 bytes.
bool readEncint(const unsigned char*& p, const unsigned char* end, uint64_t& value) {
  value = 0;
  for (int i = 0; i < 9 && p < end; ++i) {
    const unsigned char b = *p++;
    value = (value << 7) | (b & 0x7F);
    if ((b & 0x80) == 0) return true;
  }
  return false;
}

bool readAt(std::ifstream& in, uint64_t offset, std::vector<unsigned char>& out) {
  in.clear();
  in.seekg(static_cast<std::streamoff>(offset));
  return in.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size())) ? true : false;
}

bool sameIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

constexpr uint64_t kMaxDirectoryBytes = 64u << 20;
constexpr uint64_t kMaxChunkBytes = 1u << 20;
constexpr uint64_t kMaxNameBytes = CHM_MAX_PATHLEN;

// The units of a compiled help file whose directory and compression headers are sound,
// or nothing.
std::optional<std::vector<HelpFile::Unit>> readContainer(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  const uint64_t fileSize = std::filesystem::file_size(path, ec);
  if (ec || fileSize < 0x60) return std::nullopt;
  std::ifstream in(path, std::ios::binary);

  // The file header: "ITSF", version 2 or 3, where the directory and the data lie.
  std::vector<unsigned char> header(0x60);
  if (!readAt(in, 0, header) || std::memcmp(header.data(), "ITSF", 4) != 0) return std::nullopt;
  const uint64_t version = littleEndian(&header[4], 4);
  if ((version != 2 && version != 3) || littleEndian(&header[8], 4) < (version == 2 ? 0x58u : 0x60u))
    return std::nullopt;
  const uint64_t directoryOffset = littleEndian(&header[0x48], 8);
  const uint64_t directoryLength = littleEndian(&header[0x50], 8);
  if (directoryOffset > fileSize || directoryLength > fileSize - directoryOffset) return std::nullopt;
  if (directoryLength < 0x54 || directoryLength > kMaxDirectoryBytes) return std::nullopt;
  const uint64_t dataOffset = version == 3 ? littleEndian(&header[0x58], 8) : directoryOffset + directoryLength;
  if (dataOffset > fileSize) return std::nullopt;

  // The directory: "ITSP", then chunks of blockLength bytes, listing chunks ("PMGL") and
  // index chunks ("PMGI") that lead to them.
  std::vector<unsigned char> directory(static_cast<size_t>(directoryLength));
  if (!readAt(in, directoryOffset, directory)) return std::nullopt;
  const unsigned char* d = directory.data();
  if (std::memcmp(d, "ITSP", 4) != 0 || littleEndian(d + 4, 4) != 1 || littleEndian(d + 8, 4) != 0x54)
    return std::nullopt;
  const uint64_t blockLength = littleEndian(d + 0x10, 4);
  if (blockLength < 0x20 || blockLength > kMaxChunkBytes) return std::nullopt;
  const uint64_t chunks = (directoryLength - 0x54) / blockLength;
  const int64_t head = signed32(d + 0x20);
  int64_t root = signed32(d + 0x1C);
  if (root <= -1) root = head;  // as chmlib does
  if (head < 0 || uint64_t(head) >= chunks || root < 0 || uint64_t(root) >= chunks) return std::nullopt;
  const auto chunk = [&](uint64_t i) { return d + 0x54 + i * blockLength; };

  // Entries of a chunk, each checked to lie inside it; `entry` gets the name and the rest.
  const auto walk = [&](uint64_t i, bool index, const auto& entry) {
    const unsigned char* c = chunk(i);
    const uint64_t headerLength = index ? 8 : 0x14;
    const uint64_t freeSpace = littleEndian(c + 4, 4);
    if (freeSpace > blockLength - headerLength) return false;
    const unsigned char* p = c + headerLength;
    const unsigned char* end = c + blockLength - freeSpace;
    while (p < end) {
      uint64_t nameLength = 0;
      if (!readEncint(p, end, nameLength) || nameLength > kMaxNameBytes || nameLength > uint64_t(end - p))
        return false;
      const std::string_view name(reinterpret_cast<const char*>(p), nameLength);
      p += nameLength;
      if (!entry(name, p, end)) return false;
    }
    return true;
  };
  const auto kind = [&](uint64_t i) -> int {
    if (std::memcmp(chunk(i), "PMGL", 4) == 0) return 1;
    if (std::memcmp(chunk(i), "PMGI", 4) == 0) return 2;
    return 0;
  };

  // The index from the root must reach listing chunks only, without loops.
  std::vector<int> state(static_cast<size_t>(chunks), 0);  // 0 new, 1 on the path, 2 done
  std::vector<std::pair<uint64_t, std::vector<uint64_t>>> stack;
  const auto childrenOf = [&](uint64_t i, std::vector<uint64_t>& children) {
    if (kind(i) == 1) return true;
    if (kind(i) != 2) return false;
    return walk(i, true, [&](std::string_view, const unsigned char*& p, const unsigned char* end) {
      uint64_t page = 0;
      if (!readEncint(p, end, page) || page >= chunks) return false;
      children.push_back(page);
      return true;
    });
  };
  {
    std::vector<uint64_t> children;
    if (!childrenOf(uint64_t(root), children)) return std::nullopt;
    state[size_t(root)] = 1;
    stack.emplace_back(uint64_t(root), std::move(children));
  }
  while (!stack.empty()) {
    auto& [node, children] = stack.back();
    if (children.empty()) {
      state[size_t(node)] = 2;
      stack.pop_back();
      continue;
    }
    const uint64_t next = children.back();
    children.pop_back();
    if (state[size_t(next)] == 1) return std::nullopt;  // a loop
    if (state[size_t(next)] == 2) continue;
    std::vector<uint64_t> grandChildren;
    if (!childrenOf(next, grandChildren)) return std::nullopt;
    state[size_t(next)] = 1;
    stack.emplace_back(next, std::move(grandChildren));
  }

  // The listing: the chain of listing chunks from the head.
  std::vector<HelpFile::Unit> units;
  std::vector<bool> listed(static_cast<size_t>(chunks), false);
  for (int64_t i = head; i != -1;) {
    if (i < 0 || uint64_t(i) >= chunks || listed[size_t(i)] || kind(uint64_t(i)) != 1) return std::nullopt;
    listed[size_t(i)] = true;
    const bool ok = walk(uint64_t(i), false, [&](std::string_view name, const unsigned char*& p, const unsigned char* end) {
      HelpFile::Unit unit;
      unit.name = std::string(name);
      return readEncint(p, end, unit.space) && readEncint(p, end, unit.start) && readEncint(p, end, unit.length) &&
             (units.push_back(std::move(unit)), true);
    });
    if (!ok) return std::nullopt;
    i = signed32(chunk(uint64_t(i)) + 0x10);
  }

  // Every unit lies inside its section: the plain section is the rest of the file.
  const uint64_t room = fileSize - dataOffset;
  uint64_t compressedEnd = 0;
  for (const HelpFile::Unit& u : units) {
    if (u.space == CHM_UNCOMPRESSED) {
      if (u.start > room || u.length > room - u.start) return std::nullopt;
    } else if (u.space == CHM_COMPRESSED) {
      if (u.start > UINT64_MAX - u.length) return std::nullopt;
      compressedEnd = std::max(compressedEnd, u.start + u.length);
    } else {
      return std::nullopt;
    }
  }

  // The compressed section: its control data, reset table and content, as chmlib uses them.
  const auto find = [&](std::string_view name) -> const HelpFile::Unit* {
    const HelpFile::Unit* found = nullptr;
    for (const HelpFile::Unit& u : units) {
      if (!sameIgnoringAsciiCase(u.name, name)) continue;
      if (found != nullptr) return nullptr;  // which one chmlib takes is anybody's guess
      found = &u;
    }
    return found;
  };
  const HelpFile::Unit* control = find("::DataSpace/Storage/MSCompressed/ControlData");
  const HelpFile::Unit* table = find(
      "::DataSpace/Storage/MSCompressed/Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable");
  const HelpFile::Unit* content = find("::DataSpace/Storage/MSCompressed/Content");
  if (control == nullptr && table == nullptr && content == nullptr && compressedEnd == 0) return units;
  if (control == nullptr || table == nullptr || content == nullptr) return std::nullopt;
  if (control->space != CHM_UNCOMPRESSED || table->space != CHM_UNCOMPRESSED || content->space != CHM_UNCOMPRESSED)
    return std::nullopt;

  // Control data: window size and reset interval (in 32 KiB units from version 2 on).
  if (control->length < 0x18 || control->length > 0x1000) return std::nullopt;
  std::vector<unsigned char> lzxc(static_cast<size_t>(control->length));
  if (!readAt(in, dataOffset + control->start, lzxc) || std::memcmp(&lzxc[4], "LZXC", 4) != 0) return std::nullopt;
  uint32_t resetInterval = uint32_t(littleEndian(&lzxc[12], 4));
  uint32_t windowSize = uint32_t(littleEndian(&lzxc[16], 4));
  const uint32_t windowsPerReset = uint32_t(littleEndian(&lzxc[20], 4));
  if (littleEndian(&lzxc[8], 4) == 2) {
    resetInterval *= 0x8000u;
    windowSize *= 0x8000u;
  }
  if (windowSize < (1u << 15) || windowSize > (1u << 21) || (windowSize & (windowSize - 1)) != 0) return std::nullopt;
  if (resetInterval == 0 || resetInterval % (windowSize / 2) != 0) return std::nullopt;
  if (resetInterval / (windowSize / 2) * windowsPerReset == 0) return std::nullopt;

  // Reset table: where each compressed block starts; no block longer than chmlib's buffer.
  if (table->length < 0x28 || table->length > (1u << 24)) return std::nullopt;
  std::vector<unsigned char> reset(static_cast<size_t>(table->length));
  if (!readAt(in, dataOffset + table->start, reset)) return std::nullopt;
  const uint64_t blockCount = littleEndian(&reset[4], 4);
  const uint64_t tableOffset = littleEndian(&reset[12], 4);
  const uint64_t uncompressedLength = littleEndian(&reset[0x10], 8);
  const uint64_t compressedLength = littleEndian(&reset[0x18], 8);
  const uint64_t resetBlockLength = littleEndian(&reset[0x20], 8);
  if (littleEndian(&reset[0], 4) != 2 || blockCount == 0 || resetBlockLength == 0 || resetBlockLength > (1u << 23))
    return std::nullopt;
  if (tableOffset > table->length || blockCount > (table->length - tableOffset) / 8) return std::nullopt;
  if (compressedLength > content->length) return std::nullopt;
  if (compressedEnd > uncompressedLength || uncompressedLength > blockCount * resetBlockLength) return std::nullopt;
  uint64_t previous = 0;
  for (uint64_t i = 0; i <= blockCount; ++i) {
    const uint64_t start = i < blockCount ? littleEndian(&reset[size_t(tableOffset + 8 * i)], 8) : compressedLength;
    if (start < previous || start > compressedLength) return std::nullopt;
    if (i > 0 && start - previous > resetBlockLength + 6144) return std::nullopt;
    previous = start;
  }
  return units;
}

// The HTML entities a table of contents uses for German captions, and numeric ones.
std::u32string decodeEntities(std::u32string_view text) {
  static constexpr std::pair<std::u32string_view, char32_t> kNamed[] = {
      {U"amp", U'&'},   {U"lt", U'<'},    {U"gt", U'>'},    {U"quot", U'"'},  {U"apos", U'\''},
      {U"nbsp", 0xA0},  {U"auml", 0xE4},  {U"ouml", 0xF6},  {U"uuml", 0xFC},  {U"Auml", 0xC4},
      {U"Ouml", 0xD6},  {U"Uuml", 0xDC},  {U"szlig", 0xDF}, {U"eacute", 0xE9}, {U"ndash", 0x2013},
  };
  std::u32string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == U'&') {
      const size_t end = text.find(U';', i);
      if (end != std::u32string_view::npos && end - i <= 10) {
        const std::u32string_view name = text.substr(i + 1, end - i - 1);
        char32_t cp = 0;
        if (name.size() > 1 && name[0] == U'#') {
          const bool hex = name[1] == U'x' || name[1] == U'X';
          for (char32_t d : name.substr(hex ? 2 : 1)) {
            int v = -1;
            if (d >= U'0' && d <= U'9') v = int(d - U'0');
            else if (hex && d >= U'a' && d <= U'f') v = int(d - U'a' + 10);
            else if (hex && d >= U'A' && d <= U'F') v = int(d - U'A' + 10);
            if (v < 0 || cp > 0x10FFFF) { cp = 0; break; }
            cp = cp * (hex ? 16 : 10) + char32_t(v);
          }
          if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0;  // not a character
        } else {
          for (const auto& [n, c] : kNamed)
            if (n == name) cp = c;
        }
        if (cp != 0) {
          out += cp;
          i = end;
          continue;
        }
      }
    }
    out += text[i];
  }
  return out;
}

char32_t lowerAscii(char32_t c) { return c >= U'A' && c <= U'Z' ? c + 0x20 : c; }

std::u32string lowerAscii(std::u32string_view s) {
  std::u32string out(s);
  for (char32_t& c : out) c = lowerAscii(c);
  return out;
}

// Attribute value of a tag's text (between '<' and '>'), case-insensitive name.
std::u32string attribute(std::u32string_view tag, std::u32string_view name) {
  const std::u32string lower = lowerAscii(tag);
  size_t pos = 0;
  while ((pos = lower.find(name, pos)) != std::u32string::npos) {
    const bool startsWord = pos > 0 && (lower[pos - 1] == U' ' || lower[pos - 1] == U'\t' ||
                                        lower[pos - 1] == U'\n' || lower[pos - 1] == U'\r');
    size_t i = pos + name.size();
    pos = i;
    if (!startsWord) continue;
    while (i < tag.size() && (tag[i] == U' ' || tag[i] == U'\t')) ++i;
    if (i >= tag.size() || tag[i] != U'=') continue;
    ++i;
    while (i < tag.size() && (tag[i] == U' ' || tag[i] == U'\t')) ++i;
    if (i >= tag.size()) return {};
    if (tag[i] == U'"' || tag[i] == U'\'') {
      const size_t end = tag.find(tag[i], i + 1);
      return std::u32string(tag.substr(i + 1, end == std::u32string_view::npos ? std::u32string_view::npos : end - i - 1));
    }
    size_t end = i;
    while (end < tag.size() && tag[end] != U' ' && tag[end] != U'\t' && tag[end] != U'/') ++end;
    return std::u32string(tag.substr(i, end - i));
  }
  return {};
}

std::vector<HelpContentsEntry> parseContents(std::string_view bytes) {
  const std::u32string text = decode(bytes);
  std::vector<HelpContentsEntry> entries;
  int depth = 0;
  bool inObject = false;
  std::u32string caption, local;
  for (size_t i = text.find(U'<'); i != std::u32string::npos; i = text.find(U'<', i + 1)) {
    const size_t end = text.find(U'>', i);
    if (end == std::u32string::npos) break;
    const std::u32string_view tag = std::u32string_view(text).substr(i + 1, end - i - 1);
    size_t nameEnd = 0;
    while (nameEnd < tag.size() && tag[nameEnd] != U' ' && tag[nameEnd] != U'\t' && tag[nameEnd] != U'\n' &&
           tag[nameEnd] != U'\r')
      ++nameEnd;
    const std::u32string name = lowerAscii(tag.substr(0, nameEnd));
    if (name == U"ul") {
      ++depth;
    } else if (name == U"/ul") {
      depth = std::max(0, depth - 1);
    } else if (name == U"object") {
      inObject = true;
      caption.clear();
      local.clear();
    } else if (name == U"param" && inObject) {
      const std::u32string which = lowerAscii(attribute(tag, U"name"));
      if (which == U"name") caption = decodeEntities(attribute(tag, U"value"));
      else if (which == U"local") local = decodeEntities(attribute(tag, U"value"));
    } else if (name == U"/object" && inObject) {
      inObject = false;
      if (!caption.empty() || !local.empty())
        entries.push_back({encodeUtf8(caption), cleanPath(encodeUtf8(local)), std::max(0, depth - 1)});
    }
    i = end;
  }
  return entries;
}

}  // namespace

std::unique_ptr<HelpFile> HelpFile::open(const std::filesystem::path& path) {
  std::optional<std::vector<Unit>> units = readContainer(path);
  if (!units) return nullptr;
  chmFile* handle = chm_open(path.c_str());
  if (handle == nullptr) return nullptr;
  return std::unique_ptr<HelpFile>(new HelpFile(handle, path, std::move(*units)));
}

HelpFile::~HelpFile() { chm_close(handle_); }

std::vector<std::string> HelpFile::pages() const {
  std::vector<std::string> names;
  for (const Unit& unit : units_)
    if (!isSystemName(unit.name) && unit.name.back() != '/' && unit.name[1] != '/') names.push_back(unit.name.substr(1));
  return names;
}

const HelpFile::Unit* HelpFile::unit(std::string_view storedName) const {
  for (const Unit& u : units_)
    if (u.name.size() == storedName.size() + 1 && u.name[0] == '/' && std::string_view(u.name).substr(1) == storedName)
      return &u;
  return nullptr;
}

std::optional<std::string> HelpFile::findPage(std::string_view name) const {
  const std::string wanted = cleanPath(name);
  if (wanted.empty() || wanted.size() >= CHM_MAX_PATHLEN) return std::nullopt;
  const std::vector<std::string> stored = pages();
  // 1. The exact path.
  if (std::find(stored.begin(), stored.end(), wanted) != stored.end()) return wanted;
  const std::u32string letters = decode(wanted);
  // 2. The same letters in another case.
  const std::u32string folded = foldCase(letters);
  for (const std::string& s : stored)
    if (foldCase(decode(s)) == folded) return s;
  // 3. Equal once accents are composed, bytes that are not UTF-8 read as Windows-1252,
  //    and case is ignored.
  const std::u32string key = foldCase(compose(letters));
  for (const std::string& s : stored)
    if (foldCase(compose(decode(s))) == key) return s;
  return std::nullopt;
}

std::optional<std::vector<uint8_t>> HelpFile::readPage(std::string_view name) const {
  const std::optional<std::string> page = findPage(name);
  if (!page) return std::nullopt;
  const Unit* u = unit(*page);
  if (u == nullptr || u->length > kMaxPageBytes) return std::nullopt;
  std::vector<uint8_t> bytes(static_cast<size_t>(u->length));
  if (u->length == 0) return bytes;
  chmUnitInfo ui{};
  ui.start = u->start;
  ui.length = u->length;
  ui.space = static_cast<int>(u->space);
  const LONGINT64 got = chm_retrieve_object(handle_, &ui, bytes.data(), 0, static_cast<LONGINT64>(u->length));
  if (got != static_cast<LONGINT64>(u->length)) return std::nullopt;
  return bytes;
}

std::vector<HelpContentsEntry> HelpFile::contents() const {
  for (const std::string& name : pages()) {
    if (name.size() > 4 && foldCase(decode(name.substr(name.size() - 4))) == U".hhc") {
      const std::optional<std::vector<uint8_t>> bytes = readPage(name);
      if (!bytes) return {};
      return parseContents(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    }
  }
  return {};
}

}  // namespace punktivo
