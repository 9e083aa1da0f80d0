// The input is what a player may paste as a puzzle link: any bytes. It is read three ways —
// as the clipboard text itself, as the packed data of an f-puzzles link (so mutations reach
// the LZ-string reader without having to find the link's prefix), and packed properly as the
// JSON of a link (so they reach the JSON checks). A puzzle that is taken must be one the
// board can hold and must come back unchanged through every link form; the reader must keep
// to its output limit and unpack what the packer packed.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "storage/lz_string.h"
#include "storage/puzzle_link.h"

using namespace punktivo;

namespace {

constexpr std::size_t kLimit = 4096;

bool holdable(const LinkPuzzle& p) {
  for (int i = 0; i <= 9; ++i)
    for (int j = 0; j <= 9; ++j) {
      const bool cell = i >= 1 && j >= 1;
      if (p.givens[i][j] > (cell ? 9 : 0)) return false;
      if (p.dotsRight[i][j] > (cell && j <= 8 ? 2 : 0)) return false;  // [r][c], c < 9
      if (p.dotsDown[i][j] > (cell && j <= 8 ? 2 : 0)) return false;   // [c][r], r < 9
    }
  return true;
}

void checkRead(std::string_view text) {
  const LinkResult result = readPuzzleLink(text);
  FUZZ_CHECK(result.ok() == result.message().empty());
  if (!result.ok()) {
    FUZZ_CHECK(result.puzzle == LinkPuzzle{});
    return;
  }
  FUZZ_CHECK(holdable(result.puzzle));
  for (const LinkForm form : {LinkForm::kFpuzzles, LinkForm::kSudokuPad, LinkForm::kJson}) {
    const LinkResult again = readPuzzleLink(puzzleLink(result.puzzle, form));
    FUZZ_CHECK(again.ok());
    FUZZ_CHECK(again.puzzle == result.puzzle);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  checkRead(text);
  checkRead(std::string(kFpuzzlesPrefix) + std::string(text));

  const auto unpacked = lzDecompressFromBase64(text, kLimit);
  if (unpacked) {
    FUZZ_CHECK(unpacked->size() <= kLimit);
    FUZZ_CHECK(lzDecompressFromBase64(lzCompressToBase64(*unpacked), kLimit) == unpacked);
  }
  if (size <= 16384) {
    const std::u16string json = utf8ToUtf16(text);
    const std::string packed = lzCompressToBase64(json);
    FUZZ_CHECK(lzDecompressFromBase64(packed, json.size()) == json);
    checkRead(std::string(kFpuzzlesPrefix) + packed);
  }
  return 0;
}
