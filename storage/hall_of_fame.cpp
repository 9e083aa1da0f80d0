// The hall-of-fame tables, their file and the text encodings of its lines.
#include "storage/hall_of_fame.h"
#include "storage/utf8.h"

#include <algorithm>
#include <cstring>

namespace punktivo {

// --- the rules of the lists ---------------------------------------------------------------

bool isListed(const HallEntry& entry) { return entry.time.empty() || entry.time.front() != '9'; }

int qualifyingPlace(const HallLevel& level, std::string_view time) {
  // std::string_view compares by unsigned character code, as the format's texts were.
  for (int place = 1; place <= kHallPlaces; ++place)
    if (time < std::string_view(level[place - 1].time)) return place;
  return 0;
}

void insertAt(HallLevel& level, int place, HallEntry entry) {
  if (place < 1 || place > kHallPlaces) return;
  for (int p = kHallPlaces; p > place; --p) level[p - 1] = std::move(level[p - 2]);
  level[place - 1] = std::move(entry);
}

// --- text encodings ------------------------------------------------------------------------

namespace {

// Windows-1252 bytes 0x80-0x9F; the undefined ones keep their own number.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

// The character starting at `pos`, and its length; length 0 for a byte that starts no valid
// sequence (stray continuation byte, overlong form, surrogate, beyond U+10FFFF, cut short).
struct Decoded {
  char32_t c = 0;
  std::size_t length = 0;
};

Decoded decodeUtf8At(std::string_view s, std::size_t pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char b0 = byte(pos);
  if (b0 < 0x80) return {b0, 1};
  std::size_t length;
  char32_t c;
  char32_t minimum;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2, c = b0 & 0x1F, minimum = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3, c = b0 & 0x0F, minimum = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4, c = b0 & 0x07, minimum = 0x10000;
  } else {
    return {};
  }
  if (pos + length > s.size()) return {};
  for (std::size_t i = 1; i < length; ++i) {
    const unsigned char b = byte(pos + i);
    if ((b & 0xC0) != 0x80) return {};
    c = (c << 6) | (b & 0x3F);
  }
  if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {};
  return {c, length};
}

int windows1252Byte(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
  for (int i = 0; i < 32; ++i)
    if (kHighControls[i] == c) return 0x80 + i;
  return -1;
}

// CR and LF would split a field into two lines of the file.
std::string withoutLineBreaks(std::string text) {
  std::replace(text.begin(), text.end(), '\r', ' ');
  std::replace(text.begin(), text.end(), '\n', ' ');
  return text;
}

// At most `limit` bytes, not cutting into a UTF-8 sequence when the text is UTF-8.
std::string_view cutLine(std::string_view bytes, std::size_t limit) {
  if (bytes.size() <= limit) return bytes;
  std::size_t end = limit;
  for (int back = 0; back < 3 && end > 0 && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80; ++back)
    --end;
  const std::string_view cut = bytes.substr(0, end);
  return isValidUtf8(cut) ? cut : bytes.substr(0, limit);
}

}  // namespace

std::string windows1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    appendUtf8(out, b >= 0x80 && b <= 0x9F ? kHighControls[b - 0x80] : char32_t(b));
  }
  return out;
}

std::string utf8ToWindows1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const Decoded d = decodeUtf8At(text, pos);
    if (d.length == 0) {
      out += '?';
      ++pos;
      continue;
    }
    const int b = windows1252Byte(d.c);
    out += b >= 0 ? static_cast<char>(b) : '?';
    pos += d.length;
  }
  return out;
}

bool isValidUtf8(std::string_view bytes) {
  for (std::size_t pos = 0; pos < bytes.size();) {
    const Decoded d = decodeUtf8At(bytes, pos);
    if (d.length == 0) return false;
    pos += d.length;
  }
  return true;
}

std::string decodeLine(std::string_view bytes) {
  const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) return std::string(bytes);
  if (isValidUtf8(bytes)) return std::string(bytes);
  return windows1252ToUtf8(bytes);
}

// --- the file ------------------------------------------------------------------------------

std::vector<uint8_t> encodeHallOfFame(const HallTables& tables) {
  std::vector<uint8_t> out;
  const auto putLine = [&](const std::string& field) {
    const std::string bytes = utf8ToWindows1252(withoutLineBreaks(field));
    const std::size_t length = std::min(bytes.size(), kMaxLineBytes);
    out.insert(out.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
    out.push_back('\r');
    out.push_back('\n');
  };
  for (const HallLevel& level : tables)
    for (const HallEntry& entry : level) {
      putLine(entry.name);
      putLine(entry.date);
      putLine(entry.time);
    }
  return out;
}

HallTables decodeHallOfFame(std::span<const uint8_t> bytes) {
  const std::string_view data(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  std::vector<std::string> lines;
  lines.reserve(kHallLines);
  std::size_t pos = 0;
  while (lines.size() < static_cast<std::size_t>(kHallLines) && pos < data.size()) {
    // A line ends at CR LF, as the game writes it, or at a lone LF or a lone CR, as other
    // systems' editors leave it; the game never writes a lone CR or LF inside a line.
    std::size_t end = data.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = data.size();  // a last line without its CR LF
    const bool crLf = end + 1 < data.size() && data[end] == '\r' && data[end + 1] == '\n';
    const std::size_t next = std::min(data.size(), end + (crLf ? 2 : 1));
    const std::string_view line = data.substr(pos, end - pos);
    lines.push_back(decodeLine(cutLine(line, kMaxLineBytes)));
    pos = next;
  }

  HallTables tables;
  for (int level = 0; level < kHallLevels; ++level)
    for (int place = 1; place <= kHallPlaces; ++place) {
      const int firstLine = 30 * level + 3 * (place - 1);
      const auto first = static_cast<std::size_t>(firstLine);
      if (first + 3 > lines.size()) continue;  // missing lines: an empty place
      HallEntry& entry = tables[level][place - 1];
      entry.name = std::move(lines[first]);
      entry.date = std::move(lines[first + 1]);
      entry.time = std::move(lines[first + 2]);
    }
  return tables;
}

HallLoadResult HallOfFame::loadHallOfFame() {
  HallLoadResult result;
  // One byte beyond the limit tells a file that is cut off here from one that ends here.
  ReadResult read = readFileRange(file_, 0, kMaxHallReadBytes + 1);
  if (read.status != ReadStatus::kOk) {
    clearHallOfFame();
    result.status = read.status == ReadStatus::kMissing ? HallLoadStatus::kMissing : HallLoadStatus::kUnreadable;
    result.error = read.error;
    return result;
  }
  std::span<const uint8_t> bytes(read.bytes);
  if (bytes.size() > kMaxHallReadBytes) {
    // A line that runs past the limit is never complete: the reading stops before it.
    bytes = bytes.first(kMaxHallReadBytes);
    const auto lastBreak = std::find_if(bytes.rbegin(), bytes.rend(), [](uint8_t b) { return b == '\n' || b == '\r'; });
    bytes = bytes.first(static_cast<std::size_t>(bytes.rend() - lastBreak));
  }
  tables = decodeHallOfFame(bytes);
  return result;
}

WriteResult HallOfFame::saveHallOfFame() {
  const std::vector<uint8_t> bytes = encodeHallOfFame(tables);
  return replaceFileContents(file_, bytes, *calls_);
}

void HallOfFame::clearHallOfFame() {
  for (int level = 0; level < kHallLevels; ++level) clearLevel(level);
}

void HallOfFame::clearLevel(int level) {
  if (level < 0 || level >= kHallLevels) return;
  tables[level].fill(HallEntry{});
}

}  // namespace punktivo
