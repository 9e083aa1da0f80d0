// The input is a page name as a caller, a link or a table of contents may give it: any bytes.
// The name matching of the help file must clean, decode, compose and fold it without harm,
// and each step must keep its promise.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "storage/help.h"

using namespace punktivo::helpnames;

namespace {

void checkCleanPath(std::string_view name) {
  const std::string clean = cleanPath(name);
  FUZZ_CHECK(cleanPath(clean) == clean);
  if (clean.empty()) return;
  FUZZ_CHECK(clean.find('\\') == std::string::npos);
  FUZZ_CHECK(clean.front() != '/' && clean.back() != '/');
  // No empty, "." or ".." step is left.
  std::size_t start = 0;
  while (start <= clean.size()) {
    const std::size_t end = std::min(clean.find('/', start), clean.size());
    const std::string_view step(clean.data() + start, end - start);
    FUZZ_CHECK(!step.empty() && step != "." && step != "..");
    start = end + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view name(reinterpret_cast<const char*>(data), size);
  checkCleanPath(name);

  // UTF-8 is taken as UTF-8 exactly when it is valid; anything else byte by byte as
  // Windows-1252, so the text is always valid UTF-8 again.
  const std::u32string letters = decode(name);
  const std::string text = encodeUtf8(letters);
  FUZZ_CHECK((text == name) == fuzzsupport::isStrictUtf8(name));
  if (!fuzzsupport::isStrictUtf8(name)) FUZZ_CHECK(letters.size() == name.size());
  FUZZ_CHECK(fuzzsupport::isStrictUtf8(text));

  // Composing and folding are done once and for all.
  const std::u32string composed = compose(letters);
  FUZZ_CHECK(compose(composed) == composed);
  FUZZ_CHECK(composed.size() <= letters.size());
  const std::u32string folded = foldCase(composed);
  FUZZ_CHECK(foldCase(folded) == folded);
  FUZZ_CHECK(folded.size() == composed.size());
  FUZZ_CHECK(fuzzsupport::isStrictUtf8(encodeUtf8(folded)));
  return 0;
}
