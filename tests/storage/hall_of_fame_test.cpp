// The rules of the lists (where a time enters, what is listed) and the text encodings.
#include "storage/hall_of_fame.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace punktivo {
namespace {

HallEntry result(const std::string& name, const std::string& time) { return {name, "07.12.2026", time}; }

std::string placeName(int place) {
  char name[8];
  std::snprintf(name, sizeof name, "p%d", place);
  return name;
}

// Places 1-10 taken by "p1" ... "p10" with times 00:01:00.0 ... 00:10:00.0.
HallLevel fullLevel() {
  HallLevel level;
  for (int place = 1; place <= kHallPlaces; ++place) {
    char time[16];
    std::snprintf(time, sizeof time, "00:%02d:00.0", place);
    level[place - 1] = result(placeName(place), time);
  }
  return level;
}

TEST(HallRules, WhereATimeEnters) {
  EXPECT_EQ(qualifyingPlace(HallLevel{}, "00:07:42.3"), 1) << "first result of an empty list";
  const HallLevel full = fullLevel();
  EXPECT_EQ(qualifyingPlace(full, "00:00:59.9"), 1);
  EXPECT_EQ(qualifyingPlace(full, "00:03:00.0"), 4) << "equal to place 3: behind it";
  EXPECT_EQ(qualifyingPlace(full, "00:02:59.9"), 3);
  EXPECT_EQ(qualifyingPlace(full, "00:10:00.0"), 0) << "equal to place 10 of a full list";
  EXPECT_EQ(qualifyingPlace(full, "00:10:00.1"), 0);

  HallLevel partly = fullLevel();
  partly[9] = HallEntry{};
  EXPECT_EQ(qualifyingPlace(partly, "50:00:00.0"), 10) << "an empty place takes any time below 90 hours";
}

TEST(HallRules, NinetyHoursAndMoreNeverEnterNorShow) {
  EXPECT_EQ(qualifyingPlace(HallLevel{}, "90:00:00.0"), 0);
  EXPECT_EQ(qualifyingPlace(HallLevel{}, "99:59:59.9"), 0);
  EXPECT_EQ(qualifyingPlace(HallLevel{}, "9"), 0);
  EXPECT_EQ(qualifyingPlace(HallLevel{}, "89:59:59.9"), 1);

  EXPECT_FALSE(isListed(HallEntry{}));
  EXPECT_FALSE(isListed(result("Slow", "95:00:00.0")));
  EXPECT_TRUE(isListed(result("Fast", "00:00:00.4")));
  EXPECT_TRUE(isListed(result("Odd", ""))) << "a damaged time line is shown as it stands";
}

TEST(HallRules, TimesCompareByUnsignedCharacterCode) {
  // Stored lines are not validated; a non-ASCII time must still sort above every digit.
  HallLevel level;
  level[0] = result("Garbage", "\xC3\xBC");  // "ü"
  level[1] = result("Letters", "AB");
  EXPECT_EQ(qualifyingPlace(level, "00:01:00.0"), 1);
  level[0] = result("Fast", "00:00:10.0");
  EXPECT_EQ(qualifyingPlace(level, "00:01:00.0"), 2);
  EXPECT_EQ(qualifyingPlace(level, "00:00:10"), 1) << "a prefix is the smaller text";
}

TEST(HallRules, InsertingShiftsDownAndDropsPlaceTen) {
  HallLevel level = fullLevel();
  insertAt(level, 1, result("Eleventh", "00:00:30.0"));
  EXPECT_EQ(level[0].name, "Eleventh");
  for (int place = 2; place <= kHallPlaces; ++place)
    EXPECT_EQ(level[place - 1].name, placeName(place - 1)) << "place " << place;

  level = fullLevel();
  insertAt(level, 4, result("Tie", "00:03:00.0"));
  EXPECT_EQ(level[2].name, "p3");
  EXPECT_EQ(level[3].name, "Tie");
  EXPECT_EQ(level[4].name, "p4");
  EXPECT_EQ(level[9].name, "p9");

  level = fullLevel();
  insertAt(level, 10, result("Last", "00:09:30.0"));
  EXPECT_EQ(level[8].name, "p9");
  EXPECT_EQ(level[9].name, "Last");

  const HallLevel before = fullLevel();
  level = before;
  insertAt(level, 0, result("Nowhere", "00:00:01.0"));
  insertAt(level, 11, result("Nowhere", "00:00:01.0"));
  EXPECT_EQ(level, before) << "no place, no change";
}

TEST(HallEncoding, Windows1252BytesAndBack) {
  EXPECT_EQ(utf8ToWindows1252("Jürgen Größe"), "J\xFCrgen Gr\xF6\xDF" "e");
  EXPECT_EQ(windows1252ToUtf8("J\xFCrgen Gr\xF6\xDF" "e"), "Jürgen Größe");
  EXPECT_EQ(windows1252ToUtf8("\x80\x8A\x9F\xA0\xFF"), "€Š\u0178\u00A0ÿ");
  EXPECT_EQ(utf8ToWindows1252("€ Š Ÿ „x“ – …"), "\x80 \x8A \x9F \x84x\x93 \x96 \x85");

  // Every byte survives the way through UTF-8, the five undefined ones included.
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string text = windows1252ToUtf8(all);
  EXPECT_TRUE(isValidUtf8(text));
  EXPECT_EQ(utf8ToWindows1252(text), all);
}

TEST(HallEncoding, WhatWindows1252CannotHoldBecomesAQuestionMark) {
  EXPECT_EQ(utf8ToWindows1252("Łódź"), "?\xF3" "d?");
  EXPECT_EQ(utf8ToWindows1252("日本"), "??");
  EXPECT_EQ(utf8ToWindows1252("a😀b"), "a?b") << "one character, one question mark";
  EXPECT_EQ(utf8ToWindows1252("\u0080"), "?") << "a C1 control that the code page uses for a letter";
  EXPECT_EQ(utf8ToWindows1252("a\xC3(b"), "a?(b") << "broken UTF-8";
  EXPECT_EQ(utf8ToWindows1252("\xE2\x82"), "??") << "cut-off sequence";
}

TEST(HallEncoding, EachLineIsReadAsUtf8OrAsWindows1252) {
  EXPECT_EQ(decodeLine("J\xFCrgen"), "Jürgen");
  EXPECT_EQ(decodeLine("Jürgen"), "Jürgen") << "valid UTF-8 stays";
  EXPECT_EQ(decodeLine("Anna"), "Anna");
  EXPECT_EQ(decodeLine("\xC0\xAF"), "À¯") << "overlong form is not UTF-8";
  EXPECT_EQ(decodeLine("\xED\xA0\x80"), "í\u00A0\u20AC") << "surrogate is not UTF-8";
  EXPECT_EQ(decodeLine("\xF4\x90\x80\x80"), "ô\u0090€€") << "beyond U+10FFFF";
  EXPECT_EQ(decodeLine(std::string("a\0b", 3)), std::string("a\0b", 3));
  EXPECT_TRUE(isValidUtf8("\xF0\x9F\x98\x80"));
  EXPECT_FALSE(isValidUtf8("\xF0\x9F\x98"));
  // The first and last character of each length are UTF-8 too.
  for (const char* edge : {"\xC2\x80", "\xDF\xBF", "\xE0\xA0\x80", "\xEF\xBF\xBF", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF"})
    EXPECT_EQ(decodeLine(edge), edge);
}

}  // namespace
}  // namespace punktivo
