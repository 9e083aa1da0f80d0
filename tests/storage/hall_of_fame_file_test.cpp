// The file "Champions.Rhm": its bytes, round trips, damaged and hostile files, failed saves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>

#include "support/temp_dir.h"
#include "storage/hall_of_fame.h"

namespace punktivo {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::WorkingDir;
using testing::writeBytes;

std::vector<uint8_t> bytesOf(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }
std::string textOf(const std::vector<uint8_t>& b) { return std::string(b.begin(), b.end()); }

std::string repeat(const std::string& s, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += s;
  return out;
}

const std::string kEmptyPlace = "\r\n\r\n9\r\n";

bool allEmpty(const HallLevel& level) {
  return std::all_of(level.begin(), level.end(), [](const HallEntry& e) { return e == HallEntry{}; });
}

// Every place of every level filled, with names that tell where they stood.
HallTables fullTables() {
  HallTables tables;
  for (int level = 0; level < kHallLevels; ++level)
    for (int place = 1; place <= kHallPlaces; ++place) {
      char name[16], time[16];
      std::snprintf(name, sizeof name, "L%dP%d", level, place);
      std::snprintf(time, sizeof time, "0%d:%02d:00.0", level, place);
      tables[level][place - 1] = {name, "07.12.2026", time};
    }
  return tables;
}

class HallFile : public ::testing::Test {
 protected:
  TempDir dir;
  WorkingDir cwd{dir.path()};
  HallOfFame hall;  // the bare name, in the working directory
  std::vector<uint8_t> file() const { return readBytes(dir / kHallOfFameFile); }
  void putFile(const std::string& bytes) const { writeBytes(dir / kHallOfFameFile, bytesOf(bytes)); }
};

TEST_F(HallFile, SaveWritesOneHundredTwentyCrLfLinesInWindows1252) {
  hall.entry(0, 1) = {"Anna", "07.12.2026", "00:07:42.3"};
  hall.entry(2, 10) = {"Jürgen Größe", "01.01.2027", "01:00:00.0"};
  ASSERT_TRUE(hall.saveHallOfFame());

  const std::string expected = "Anna\r\n07.12.2026\r\n00:07:42.3\r\n" + repeat(kEmptyPlace, 9) +  // level 0
                               repeat(kEmptyPlace, 10) +                                         // level 1
                               repeat(kEmptyPlace, 9) +                                          // level 2
                               "J\xFCrgen Gr\xF6\xDF" "e\r\n01.01.2027\r\n01:00:00.0\r\n" +
                               repeat(kEmptyPlace, 10);                                          // level 3
  EXPECT_EQ(textOf(file()), expected);
  const std::string text = textOf(file());
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 120);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 120);
  EXPECT_EQ(dir.entries(), std::vector<std::string>{kHallOfFameFile}) << "no temporary file left";

  HallOfFame again;
  EXPECT_EQ(again.loadHallOfFame().status, HallLoadStatus::kLoaded);
  EXPECT_EQ(again.tables, hall.tables);
  EXPECT_EQ(again.entry(2, 10).name, "Jürgen Größe");
}

TEST_F(HallFile, AnEmptyListIsWrittenAndAFullOneReadBack) {
  ASSERT_TRUE(hall.saveHallOfFame());
  EXPECT_EQ(textOf(file()), repeat(kEmptyPlace, 40));

  hall.tables = fullTables();
  ASSERT_TRUE(hall.saveHallOfFame());
  HallOfFame again;
  again.loadHallOfFame();
  EXPECT_EQ(again.tables, fullTables());
}

TEST_F(HallFile, AMissingFileGivesEmptyListsAndIsNotCreated) {
  hall.tables = fullTables();
  EXPECT_EQ(hall.loadHallOfFame().status, HallLoadStatus::kMissing);
  for (const HallLevel& level : hall.tables) EXPECT_TRUE(allEmpty(level));
  EXPECT_TRUE(dir.entries().empty());
}

TEST_F(HallFile, DeletingOneLevelKeepsTheOthersInTheFile) {
  hall.tables = fullTables();
  hall.clearLevel(2);
  ASSERT_TRUE(hall.saveHallOfFame());
  HallOfFame again;
  again.loadHallOfFame();
  const HallTables full = fullTables();
  EXPECT_EQ(again.tables[0], full[0]);
  EXPECT_EQ(again.tables[1], full[1]);
  EXPECT_TRUE(allEmpty(again.tables[2]));
  EXPECT_EQ(again.tables[3], full[3]);
}

TEST_F(HallFile, AFileEndingEarlyGivesEmptyPlacesFromThereOn) {
  hall.tables = fullTables();
  ASSERT_TRUE(hall.saveHallOfFame());
  const std::string whole = textOf(file());
  const auto afterLines = [&](int lines) {
    std::size_t pos = 0;
    for (int i = 0; i < lines; ++i) pos = whole.find('\n', pos) + 1;
    return whole.substr(0, pos);
  };
  const HallTables full = fullTables();

  putFile(afterLines(60));  // ends at a level boundary
  hall.loadHallOfFame();
  EXPECT_EQ(hall.tables[0], full[0]);
  EXPECT_EQ(hall.tables[1], full[1]);
  EXPECT_TRUE(allEmpty(hall.tables[2]));
  EXPECT_TRUE(allEmpty(hall.tables[3]));

  // Inside level 1: place 1 whole, place 2 only its name line.
  putFile(afterLines(34));
  hall.loadHallOfFame();
  EXPECT_EQ(hall.tables[0], full[0]);
  EXPECT_EQ(hall.entry(1, 1), full[1][0]);
  EXPECT_EQ(hall.entry(1, 2), HallEntry{});
  EXPECT_TRUE(allEmpty(hall.tables[2]));

  // The last line without its CR LF still counts.
  std::string cut = afterLines(33);
  cut.resize(cut.size() - 2);
  putFile(cut);
  hall.loadHallOfFame();
  EXPECT_EQ(hall.entry(1, 1), full[1][0]);

  putFile("");
  hall.loadHallOfFame();
  for (const HallLevel& level : hall.tables) EXPECT_TRUE(allEmpty(level));
}

TEST_F(HallFile, LinesEndedByLfAloneAndOldWindows1252NamesAreRead) {
  putFile("M\xFCller\n07.12.2026\n00:05:00.0\nZo\xEB\r\n08.12.2026\r\n00:06:00.0\r\n");
  hall.loadHallOfFame();
  EXPECT_EQ(hall.entry(0, 1), (HallEntry{"Müller", "07.12.2026", "00:05:00.0"}));
  EXPECT_EQ(hall.entry(0, 2), (HallEntry{"Zoë", "08.12.2026", "00:06:00.0"}));
  EXPECT_EQ(hall.entry(0, 3), HallEntry{});

  putFile("Müller\r\n07.12.2026\r\n00:05:00.0\r\n");  // written by something that used UTF-8
  hall.loadHallOfFame();
  EXPECT_EQ(hall.entry(0, 1).name, "Müller");
  ASSERT_TRUE(hall.saveHallOfFame());
  EXPECT_EQ(textOf(file()).substr(0, 8), "M\xFCller\r\n") << "saved back in the file's own code page";
}

// The lines of fullTables(), the first `count` of them (more are made up), each ended by `end`.
std::string linesOfFullTables(int count, const std::string& end) {
  const std::vector<uint8_t> bytes = encodeHallOfFame(fullTables());
  const std::string whole(bytes.begin(), bytes.end());
  std::string out;
  std::size_t pos = 0;
  for (int i = 0; i < count; ++i) {
    if (i < kHallLines) {
      const std::size_t crlf = whole.find("\r\n", pos);
      out += whole.substr(pos, crlf - pos);
      pos = crlf + 2;
    } else {
      out += "extra line " + std::to_string(i);
    }
    out += end;
  }
  return out;
}

TEST_F(HallFile, EveryLineCountAndEveryLineEndReadsTheWholePlacesThere) {
  const HallTables full = fullTables();
  for (const std::string end : {"\r\n", "\n", "\r"})
    for (int count : {0, 1, 2, 3, 119, 120, 121, 100000}) {
      SCOPED_TRACE(::testing::Message() << count << " lines ended by " << (end == "\r" ? "CR" : end == "\n" ? "LF" : "CR LF"));
      putFile(linesOfFullTables(count, end));
      hall.tables = fullTables();
      EXPECT_EQ(hall.loadHallOfFame().status, HallLoadStatus::kLoaded);
      for (int level = 0; level < kHallLevels; ++level)
        for (int place = 1; place <= kHallPlaces; ++place) {
          const bool whole = 30 * level + 3 * place <= count;
          ASSERT_EQ(hall.entry(level, place), whole ? full[level][place - 1] : HallEntry{})
              << "level " << level << " place " << place;
        }
      // Saved back, the file is the game's own again: 120 lines ended by CR LF.
      ASSERT_TRUE(hall.saveHallOfFame());
      EXPECT_EQ(file(), encodeHallOfFame(hall.tables));
    }
}

TEST_F(HallFile, NulBytesAndBytesThatAreNotUtf8AreReadAsText) {
  // NUL stays a character of the line; a line that is not UTF-8 is read as Windows-1252, the
  // five bytes that code page leaves unassigned as the control characters of the same number,
  // so that saving gives the same bytes back.
  const std::string firstPlace("A\0B\r\n07.12.\0\r\n00:01:00.0\r\n", 26);
  const std::string secondName = "\xC3\x28\x81\x8D\x8F\x90\x9D\r\n";
  putFile(firstPlace + secondName + "\xFF\xFE\r\n\xE2\x82\r\n");
  hall.loadHallOfFame();
  EXPECT_EQ(hall.entry(0, 1), (HallEntry{std::string("A\0B", 3), std::string("07.12.\0", 7), "00:01:00.0"}));
  EXPECT_EQ(hall.entry(0, 2).name, "\xC3\x83(\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
  EXPECT_EQ(hall.entry(0, 2).date, "\xC3\xBF\xC3\xBE");
  EXPECT_EQ(hall.entry(0, 2).time, "\xC3\xA2\xE2\x80\x9A");
  for (const HallLevel& level : hall.tables)
    for (const HallEntry& e : level) EXPECT_TRUE(isValidUtf8(e.name) && isValidUtf8(e.date) && isValidUtf8(e.time));
  ASSERT_TRUE(hall.saveHallOfFame());
  EXPECT_EQ(textOf(file()).substr(0, firstPlace.size() + secondName.size()), firstPlace + secondName);
  HallOfFame again;
  again.loadHallOfFame();
  EXPECT_EQ(again.tables, hall.tables);
}

TEST_F(HallFile, LinesOfAMegabyteAreCutAndTheFileStaysReadable) {
  const std::string megabyte(1 << 20, 'm');
  putFile("Anna\r\n07.12.2026\r\n00:01:00.0\r\n" + megabyte + "\r\nd\r\n00:02:00.0\r\n");
  hall.loadHallOfFame();
  EXPECT_EQ(hall.entry(0, 1), (HallEntry{"Anna", "07.12.2026", "00:01:00.0"}));
  // The read stops at the limit, inside the long line: it and what follows count as missing.
  EXPECT_EQ(hall.entry(0, 2), HallEntry{});
  EXPECT_GE(megabyte.size(), kMaxHallReadBytes);

  // A long line that still fits in the limit is cut to kMaxLineBytes and the lines stay in step.
  putFile("Anna\r\n07.12.2026\r\n00:01:00.0\r\n" + std::string(kMaxHallReadBytes / 2, 'n') + "\rd\r00:02:00.0\r");
  hall.loadHallOfFame();
  EXPECT_EQ(hall.entry(0, 2), (HallEntry{std::string(kMaxLineBytes, 'n'), "d", "00:02:00.0"}));
}

TEST_F(HallFile, AnOverLongLineIsCutAndTheLinesAfterItStayInStep) {
  putFile(std::string(100000, 'x') + "\r\n07.12.2026\r\n00:05:00.0\r\nBea\r\n08.12.2026\r\n00:06:00.0\r\n");
  hall.loadHallOfFame();
  EXPECT_EQ(hall.entry(0, 1).name, std::string(kMaxLineBytes, 'x'));
  EXPECT_EQ(hall.entry(0, 1).time, "00:05:00.0");
  EXPECT_EQ(hall.entry(0, 2), (HallEntry{"Bea", "08.12.2026", "00:06:00.0"}));

  // A long UTF-8 name is not cut inside a character.
  std::string umlauts;
  for (std::size_t i = 0; i < kMaxLineBytes; ++i) umlauts += "ü";
  putFile("x" + umlauts + "\r\n07.12.2026\r\n00:05:00.0\r\n");
  hall.loadHallOfFame();
  EXPECT_TRUE(isValidUtf8(hall.entry(0, 1).name));
  EXPECT_EQ(hall.entry(0, 1).name.size(), kMaxLineBytes - 1);
  EXPECT_EQ(hall.entry(0, 1).name.substr(0, 3), "xü");

  // The game never writes what it could not read back whole.
  hall.entry(0, 1).name = std::string(kMaxLineBytes + 500, 'y');
  ASSERT_TRUE(hall.saveHallOfFame());
  EXPECT_EQ(file().size(), kMaxLineBytes + 2 + std::string("07.12.2026\r\n00:05:00.0\r\n").size() +
                               repeat(kEmptyPlace, 39).size());
}

TEST_F(HallFile, AHugeFileIsReadOnlyAsFarAsTheLimit) {
  // One endless line: nothing of it is taken.
  putFile(std::string(3 * kMaxHallReadBytes, 'z'));
  hall.tables = fullTables();
  EXPECT_EQ(hall.loadHallOfFame().status, HallLoadStatus::kLoaded);
  for (const HallLevel& level : hall.tables) EXPECT_TRUE(allEmpty(level));

  // A proper file with megabytes of junk behind it.
  hall.tables = fullTables();
  ASSERT_TRUE(hall.saveHallOfFame());
  putFile(textOf(file()) + std::string(3 * kMaxHallReadBytes, '\n'));
  hall.clearHallOfFame();
  hall.loadHallOfFame();
  EXPECT_EQ(hall.tables, fullTables());

  // Long lines up to the limit: the line the limit cuts through counts as missing.
  const std::string longPlace = std::string(50000, 'n') + "\r\nd\r\n00:00:01.0\r\n";
  putFile(repeat(longPlace, 200));
  hall.loadHallOfFame();
  const std::size_t wholePlaces = kMaxHallReadBytes / longPlace.size();
  ASSERT_LT(wholePlaces, 40u);
  EXPECT_EQ(hall.entry(int(wholePlaces - 1) / 10, int(wholePlaces - 1) % 10 + 1).time, "00:00:01.0");
  EXPECT_EQ(hall.entry(int(wholePlaces) / 10, int(wholePlaces) % 10 + 1), HallEntry{});
}

TEST_F(HallFile, ArbitraryBytesNeverBreakTheLists) {
  std::mt19937 random(20261207);
  hall.tables = fullTables();
  ASSERT_TRUE(hall.saveHallOfFame());
  const std::string good = textOf(file());
  for (int round = 0; round < 300; ++round) {
    std::string bytes;
    if (round % 2 == 0) {
      bytes.resize(random() % 4000);
      for (char& c : bytes) c = static_cast<char>(random() % 4 == 0 ? "\r\n\0 9"[random() % 5] : random() % 256);
    } else {  // the good file with a few bytes changed, dropped or cut off
      bytes = good;
      for (int i = 0; i < 8; ++i) bytes[random() % bytes.size()] = static_cast<char>(random() % 256);
      bytes.erase(random() % bytes.size(), random() % 20);
      bytes.resize(random() % (bytes.size() + 1));
    }
    putFile(bytes);
    hall.loadHallOfFame();
    for (const HallLevel& level : hall.tables)
      for (const HallEntry& e : level)
        for (const std::string* field : {&e.name, &e.date, &e.time}) {
          ASSERT_TRUE(isValidUtf8(*field)) << "round " << round;
          ASSERT_EQ(field->find_first_of("\r\n"), std::string::npos) << "round " << round;
        }
    // What a save writes is 120 lines again, and a fixed point of reading and writing.
    const std::vector<uint8_t> first = encodeHallOfFame(hall.tables);
    ASSERT_EQ(std::count(first.begin(), first.end(), '\n'), 120) << "round " << round;
    ASSERT_EQ(encodeHallOfFame(decodeHallOfFame(first)), first) << "round " << round;
  }
}

TEST_F(HallFile, NamesWithLineBreaksDoNotShiftTheLines) {
  hall.entry(1, 1) = {"two\r\nlines", "07.12.2026", "00:01:00.0"};
  hall.entry(1, 2) = {"Bea", "07.12.2026", "00:02:00.0"};
  ASSERT_TRUE(hall.saveHallOfFame());
  HallOfFame again;
  again.loadHallOfFame();
  EXPECT_EQ(again.entry(1, 1).name, "two  lines");
  EXPECT_EQ(again.entry(1, 2).name, "Bea");
  EXPECT_EQ(again.entry(1, 2).time, "00:02:00.0");
}

TEST_F(HallFile, AFailedSaveKeepsTheOldFileAndTheLists) {
  hall.entry(0, 1) = {"Anna", "07.12.2026", "00:07:42.3"};
  ASSERT_TRUE(hall.saveHallOfFame());
  const std::vector<uint8_t> old = file();

  hall.entry(0, 1) = {"Bert", "08.12.2026", "00:03:00.0"};
  const HallTables changed = hall.tables;
  FailAfterBytes full(50);
  hall.setFileCalls(full);
  const WriteResult result = hall.saveHallOfFame();
  EXPECT_FALSE(result);
  EXPECT_EQ(result.error, ENOSPC);
  EXPECT_EQ(file(), old);
  EXPECT_EQ(hall.tables, changed);
  EXPECT_EQ(dir.entries(), std::vector<std::string>{kHallOfFameFile}) << "the temporary file is gone";
}

TEST_F(HallFile, AFolderInPlaceOfTheFileIsNeitherReadNorReplaced) {
  std::filesystem::create_directory(dir / kHallOfFameFile);
  hall.tables = fullTables();
  EXPECT_EQ(hall.loadHallOfFame().status, HallLoadStatus::kUnreadable);
  for (const HallLevel& level : hall.tables) EXPECT_TRUE(allEmpty(level));
  EXPECT_FALSE(hall.saveHallOfFame());
  EXPECT_TRUE(std::filesystem::is_directory(dir / kHallOfFameFile));
}

}  // namespace
}  // namespace punktivo
