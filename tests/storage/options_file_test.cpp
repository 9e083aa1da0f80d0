// The remembered options: an old file still loads, the newer switches are written only when
// on, and a bad line leaves its option alone.
#include "storage/options_file.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

namespace punktivo {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

std::string textOf(const std::filesystem::path& path) {
  const std::vector<uint8_t> bytes = readBytes(path);
  return {bytes.begin(), bytes.end()};
}

void writeText(const std::filesystem::path& path, const std::string& text) {
  writeBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

TEST(OptionsFile, WithTheNewerSwitchesOffTheFileIsTheOneLineItAlwaysWas) {
  const TempDir dir;
  Settings settings;
  settings.highlightSameDigits = false;
  ASSERT_TRUE(writeOptions(dir / "punktivo.opt", settings));
  EXPECT_EQ(textOf(dir / "punktivo.opt"), "hervorheben=0\n");
}

TEST(OptionsFile, EverySwitchComesBackAsItWasWritten) {
  const TempDir dir;
  for (int bits = 0; bits < 8; ++bits) {
    Settings written;
    written.highlightSameDigits = (bits & 1) != 0;
    written.tidyNotes = (bits & 2) != 0;
    written.markErrors = (bits & 4) != 0;
    ASSERT_TRUE(writeOptions(dir / "punktivo.opt", written));
    // Read as the game starts: from the defaults (a newer switch that is off is absent).
    Settings read;
    readOptions(dir / "punktivo.opt", read);
    EXPECT_EQ(read.highlightSameDigits, written.highlightSameDigits) << bits;
    EXPECT_EQ(read.tidyNotes, written.tidyNotes) << bits;
    EXPECT_EQ(read.markErrors, written.markErrors) << bits;
  }
}

TEST(OptionsFile, AnOldFileLoadsAndBadLinesLeaveTheirOptionAlone) {
  const TempDir dir;
  writeText(dir / "punktivo.opt", "hervorheben=0\r\n");
  Settings old;
  readOptions(dir / "punktivo.opt", old);
  EXPECT_FALSE(old.highlightSameDigits);
  EXPECT_FALSE(old.tidyNotes);
  EXPECT_FALSE(old.markErrors);

  writeText(dir / "punktivo.opt", "bereinigen=ja\nfehlermarke\nfehlermarke=1\nunbekannt=1\nbereinigen=2\n");
  Settings mixed;
  readOptions(dir / "punktivo.opt", mixed);
  EXPECT_FALSE(mixed.tidyNotes);
  EXPECT_TRUE(mixed.markErrors);
  EXPECT_TRUE(mixed.highlightSameDigits);
}

}  // namespace
}  // namespace punktivo
