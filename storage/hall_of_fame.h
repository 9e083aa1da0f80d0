// The hall of fame: the ten best times per level with name and date, kept in the text file
// "Champions.Rhm" (120 lines ended by CR LF, Windows-1252). Texts are UTF-8 in memory.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "storage/atomic_file.h"

namespace punktivo {

inline constexpr const char* kHallOfFameFile = "Champions.Rhm";
inline constexpr int kHallLevels = 4;   // as `difficulty`: 0 easy ... 3 extreme
inline constexpr int kHallPlaces = 10;  // place 1 is the fastest
inline constexpr int kHallLines = kHallLevels * kHallPlaces * 3;  // 120
// The time of an empty place: larger, as text, than any time below 90 hours.
inline constexpr const char* kEmptyTime = "9";

// Reading never trusts the file: each line keeps at most this many bytes, and no more than
// kMaxHallReadBytes of the file are looked at. Saving keeps fields within the same limit,
// so whatever the game writes reads back whole.
inline constexpr std::size_t kMaxLineBytes = 4096;
inline constexpr std::size_t kMaxHallReadBytes = 1 << 20;

struct HallEntry {
  std::string name;
  std::string date;
  std::string time = kEmptyTime;
  bool operator==(const HallEntry&) const = default;
};

// One level's places 1-10 (index 0 is place 1), and all four levels.
using HallLevel = std::array<HallEntry, kHallPlaces>;
using HallTables = std::array<HallLevel, kHallLevels>;

// --- the rules of the lists ---------------------------------------------------------------

// An entry is listed unless its time text begins with "9" (empty places, 90 hours and more).
bool isListed(const HallEntry& entry);

// The place 1-10 that `time` takes on a level: the first place whose time it is less than,
// comparing the texts byte by byte. 0 when it beats none; equal times do not displace.
int qualifyingPlace(const HallLevel& level, std::string_view time);

// Moves places `place`..9 one down (place 10 drops out) and puts `entry` at `place`.
void insertAt(HallLevel& level, int place, HallEntry entry);

// --- text encodings ------------------------------------------------------------------------

// Every byte becomes one character; the five bytes Windows-1252 leaves undefined become the
// control characters of the same number, so any line survives a load and a save unchanged.
std::string windows1252ToUtf8(std::string_view bytes);
// Characters outside Windows-1252, and bytes that are not valid UTF-8, become "?".
std::string utf8ToWindows1252(std::string_view text);
bool isValidUtf8(std::string_view bytes);
// A line of the file as text: valid UTF-8 holding non-ASCII bytes is taken as UTF-8, anything
// else as Windows-1252.
std::string decodeLine(std::string_view bytes);

// --- the file ------------------------------------------------------------------------------

// The 120 lines, level by level, place by place, name, date, time, each ended by CR LF.
// CR and LF inside a field are written as blanks, and a field is cut to kMaxLineBytes.
std::vector<uint8_t> encodeHallOfFame(const HallTables& tables);

// The tables from the bytes of a file. Lines end in CR LF, LF or CR; a place whose three
// lines are not all there is empty, so a file ending early (at a level boundary or inside
// one) gives empty places from there on.
HallTables decodeHallOfFame(std::span<const uint8_t> bytes);

enum class HallLoadStatus {
  kLoaded,
  kMissing,     // no file: empty lists; the file is not created
  kUnreadable,  // exists but cannot be read (a folder, no permission, ...): empty lists
};

struct HallLoadResult {
  HallLoadStatus status = HallLoadStatus::kLoaded;
  int error = 0;  // errno for kUnreadable
};

// The tables and the file they are kept in.
class HallOfFame {
 public:
  explicit HallOfFame(std::filesystem::path file = kHallOfFameFile, FileCalls& calls = systemFileCalls())
      : file_(std::move(file)), calls_(&calls) {}

  HallTables tables;

  // Place 1-10 of level 0-3.
  HallEntry& entry(int level, int place) { return tables.at(level).at(place - 1); }
  const HallEntry& entry(int level, int place) const { return tables.at(level).at(place - 1); }

  // Fills the tables from the file; a missing or unreadable file gives empty lists.
  HallLoadResult loadHallOfFame();
  // Replaces the file with the tables. On failure the old file stays as it was (and the
  // tables as they are).
  WriteResult saveHallOfFame();
  // All 40 places empty.
  void clearHallOfFame();
  void clearLevel(int level);

  const std::filesystem::path& file() const { return file_; }
  // How the next saves reach the disk; tests make them fail.
  void setFileCalls(FileCalls& calls) { calls_ = &calls; }

 private:
  std::filesystem::path file_;
  FileCalls* calls_;
};

}  // namespace punktivo
