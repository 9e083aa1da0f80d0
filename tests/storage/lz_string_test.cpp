// The LZ-string codec: published outputs of the JavaScript library, round trips over many
// kinds of text, and damaged or hostile input refused within the output limit.
#include "storage/lz_string.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/random.h"

namespace punktivo {
namespace {

constexpr std::size_t kPlenty = 1 << 20;

// Outputs of the JavaScript library's compressToBase64, as other ports test against them:
// "hello world" from CyberChef's LZString tests (tests/operations/tests/LZString.mjs), the
// Czech sentence from the Python port's test ("generated with original js lib"), and the
// Chinese greeting from the README of the Python package lzstring.
struct Vector {
  const char* text;  // UTF-8
  const char* base64;
};
constexpr Vector kVectors[] = {
    {"hello world", "BYUwNmD2AEDukCcwBMg="},
    {"Žluťoučký kůň úpěl ďábelské ódy!", "r6ABsK6KaAD2aLCADWBfgBPQ9oCAlAZAvgDobEARlB4QAEOAjAUxAGd4BL5AZ4BMBPAQiA=="},
    {"你好", "gbyl9NI="},
};

TEST(LzString, MatchesTheJavaScriptLibrary) {
  for (const Vector& v : kVectors) {
    SCOPED_TRACE(v.text);
    EXPECT_EQ(lzCompressToBase64(utf8ToUtf16(v.text)), v.base64);
    const auto text = lzDecompressFromBase64(v.base64, kPlenty);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(utf16ToUtf8(*text), v.text);
  }
  // The empty text is the end marker alone.
  EXPECT_EQ(lzDecompressFromBase64(lzCompressToBase64(u""), kPlenty), std::u16string());
}

std::u16string randomText(SeededRandom& random, int length, int alphabet, bool wide) {
  std::u16string text;
  for (int i = 0; i < length; ++i) {
    const int pick = random.random(alphabet);
    text += wide && pick % 3 == 0 ? static_cast<char16_t>(0x4E00 + pick * 37) : static_cast<char16_t>('a' + pick % 26);
  }
  return text;
}

TEST(LzString, RoundTripsEveryKindOfText) {
  SeededRandom random(7);
  for (int trial = 0; trial < 400; ++trial) {
    const int length = random.random(trial < 200 ? 40 : 3000);
    const int alphabet = 1 + random.random(trial % 2 == 0 ? 3 : 60);
    const std::u16string text = randomText(random, length, alphabet, trial % 4 == 1);
    const std::string packed = lzCompressToBase64(text);
    ASSERT_EQ(packed.size() % 4, 0U);
    const auto back = lzDecompressFromBase64(packed, kPlenty);
    ASSERT_TRUE(back.has_value()) << "trial " << trial;
    ASSERT_EQ(*back, text) << "trial " << trial;
  }
  // Characters at the edges of the two literal widths, and surrogate pairs.
  const std::u16string edges{u'\0', 0x00ff, 0x0100, 0xffff, 0xd83d, 0xde00, 0x00ff, 0x0100, u'\0'};
  ASSERT_EQ(edges.size(), 9U);
  EXPECT_EQ(lzDecompressFromBase64(lzCompressToBase64(edges), kPlenty), edges);
  // Without the '=' padding the data still read the same.
  EXPECT_EQ(lzDecompressFromBase64("BYUwNmD2AEDukCcwBMg", kPlenty), u"hello world");
}

TEST(LzString, RefusesDamagedData) {
  for (const char* bad : {"BYUwNmD2AEDu kCcwBMg=", "BYUwNmD2AEDu-CcwBMg=", "BYU=wNmD2AEDukCcwBMg", "BYUwNmD2AEDukCcwBMg=====",
                          "BYUwNmD2AE", "B", "////", "%%%%"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(lzDecompressFromBase64(bad, kPlenty).has_value());
  }
  // Every text cut short before its end marker is refused, none is taken for less.
  const std::string packed = lzCompressToBase64(u"{\"size\":9,\"grid\":[[{},{},{}]]}");
  for (std::size_t cut = 0; cut + 2 < packed.find('=') && cut + 2 < packed.size(); ++cut)
    EXPECT_FALSE(lzDecompressFromBase64(packed.substr(0, cut), kPlenty).has_value()) << cut;
}

TEST(LzString, KeepsToTheOutputLimitOnHostileInput) {
  // A long run packs into few characters and would unpack far beyond the limit.
  const std::u16string run(200000, u'a');
  const std::string packed = lzCompressToBase64(run);
  EXPECT_LT(packed.size(), 2000U);
  EXPECT_FALSE(lzDecompressFromBase64(packed, 1000).has_value());
  EXPECT_EQ(lzDecompressFromBase64(packed, run.size()), run);
  EXPECT_FALSE(lzDecompressFromBase64(packed, run.size() - 1).has_value());

  // Random characters: refused or unpacked, never beyond the limit.
  SeededRandom random(11);
  const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  int unpacked = 0;
  for (int trial = 0; trial < 3000; ++trial) {
    std::string text;
    const int length = 1 + random.random(200);
    for (int i = 0; i < length; ++i) text += alphabet[random.random(64)];
    const auto out = lzDecompressFromBase64(text, 500);
    if (out) {
      ++unpacked;
      EXPECT_LE(out->size(), 500U);
    }
  }
  RecordProperty("unpacked", unpacked);
}

TEST(LzString, ConvertsBetweenUtf8AndUtf16) {
  EXPECT_EQ(utf8ToUtf16("aä€😀"), u"aä€😀");
  EXPECT_EQ(utf16ToUtf8(u"aä€😀"), "aä€😀");
  // Broken sequences and lone surrogates become U+FFFD instead of being guessed at.
  EXPECT_EQ(utf8ToUtf16("a\xC3"), u"a\uFFFD");
  EXPECT_EQ(utf8ToUtf16("\xC0\x80x"), u"\uFFFD\uFFFDx");
  EXPECT_EQ(utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(utf16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
}

}  // namespace
}  // namespace punktivo
