// The input is a "Champions.Rhm" as it may lie on a player's disk: any bytes, line ends of
// any kind, any encoding. It is loaded as the game loads it, a result is entered the way
// recordResult enters one, and the tables are saved and read back; the file's promises are
// checked on the way.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "storage/hall_of_fame.h"

using namespace punktivo;

namespace {

bool holdsLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// What every loaded field is: one line of valid UTF-8.
void checkField(const std::string& field) {
  FUZZ_CHECK(isValidUtf8(field));
  FUZZ_CHECK(!holdsLineBreak(field));
  // A line keeps at most kMaxLineBytes bytes; as UTF-8 a Windows-1252 byte takes up to three.
  FUZZ_CHECK(field.size() <= 3 * kMaxLineBytes);
}

// The saved file: 120 lines, each ended by CR LF, none longer than a line may be.
void checkFileLayout(const std::vector<uint8_t>& bytes) {
  std::size_t lines = 0, start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      FUZZ_CHECK(i > start && bytes[i - 1] == '\r');
      FUZZ_CHECK(i - 1 - start <= kMaxLineBytes);
      ++lines;
      start = i + 1;
    } else if (bytes[i] == '\r') {
      FUZZ_CHECK(i + 1 < bytes.size() && bytes[i + 1] == '\n');
    }
  }
  FUZZ_CHECK(start == bytes.size());
  FUZZ_CHECK(lines == static_cast<std::size_t>(kHallLines));
}

// recordResult's insertion of `time` into one level.
void enterResult(HallLevel& level, const std::string& time) {
  const HallLevel before = level;
  const int place = qualifyingPlace(level, time);
  FUZZ_CHECK(place >= 0 && place <= kHallPlaces);
  // The first place whose time is greater, as text; equal times do not displace.
  for (int p = 1; p < (place == 0 ? kHallPlaces + 1 : place); ++p)
    FUZZ_CHECK(!(std::string_view(time) < std::string_view(level[p - 1].time)));
  if (place == 0) return;
  FUZZ_CHECK(std::string_view(time) < std::string_view(level[place - 1].time));

  const HallEntry entry{"Fuzz", "07.12.2026", time};
  insertAt(level, place, entry);
  for (int p = 1; p <= kHallPlaces; ++p) {
    if (p < place) FUZZ_CHECK(level[p - 1] == before[p - 1]);
    if (p == place) FUZZ_CHECK(level[p - 1] == entry);
    if (p > place) FUZZ_CHECK(level[p - 1] == before[p - 2]);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::span<const uint8_t> input(data, size);
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  // Windows-1252 to UTF-8 and back is the identity on any bytes (the five bytes the code
  // page leaves open included), and the way in always gives valid UTF-8.
  const std::string asUtf8 = windows1252ToUtf8(text);
  FUZZ_CHECK(isValidUtf8(asUtf8));
  FUZZ_CHECK(utf8ToWindows1252(asUtf8) == text);
  FUZZ_CHECK(isValidUtf8(decodeLine(text)));
  if (isValidUtf8(text)) FUZZ_CHECK(decodeLine(text) == text);

  // The file as the game loads it at start-up.
  static const std::filesystem::path path = fuzzsupport::scratchDir() / kHallOfFameFile;
  fuzzsupport::writeFile(path, input);
  HallOfFame hall(path);
  FUZZ_CHECK(hall.loadHallOfFame().status == HallLoadStatus::kLoaded);
  if (size <= kMaxHallReadBytes) FUZZ_CHECK(hall.tables == decodeHallOfFame(input));
  for (const HallLevel& level : hall.tables)
    for (const HallEntry& entry : level) {
      checkField(entry.name);
      checkField(entry.date);
      checkField(entry.time);
    }

  // A result with the file's own first time text (or an early one) on every level.
  const std::string time = hall.tables[0][0].time.empty() ? "00:00:01.0" : hall.tables[0][0].time;
  for (HallLevel& level : hall.tables) enterResult(level, time);

  // Saved and read back: each field comes back as its Windows-1252 bytes read anew, in its
  // level, place and line.
  FUZZ_CHECK(static_cast<bool>(hall.saveHallOfFame()));
  const std::vector<uint8_t> saved = fuzzsupport::readFile(path);
  FUZZ_CHECK(saved == encodeHallOfFame(hall.tables));
  checkFileLayout(saved);
  HallOfFame again(path);
  FUZZ_CHECK(again.loadHallOfFame().status == HallLoadStatus::kLoaded);
  for (int level = 0; level < kHallLevels; ++level)
    for (int place = 1; place <= kHallPlaces; ++place) {
      const HallEntry& was = hall.entry(level, place);
      const HallEntry& now = again.entry(level, place);
      FUZZ_CHECK(now.name == decodeLine(utf8ToWindows1252(was.name)));
      FUZZ_CHECK(now.date == decodeLine(utf8ToWindows1252(was.date)));
      FUZZ_CHECK(now.time == decodeLine(utf8ToWindows1252(was.time)));
    }
  return 0;
}
