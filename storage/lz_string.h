// The LZ-string codec in its Base64 form, as the web's puzzle tools pack a puzzle into a link:
// compressToBase64 and a decoder that refuses damaged input and keeps its memory bounded.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace punktivo {

// The text (UTF-16 code units, as JavaScript strings hold them) packed and written with the
// alphabet A-Z a-z 0-9 + / and '=' padding to a multiple of four characters.
std::string lzCompressToBase64(std::u16string_view text);

// The opposite. Refuses (nullopt) a character outside the alphabet, '=' before the end,
// data that ends early or refers to a code not yet defined, and an output longer than
// maxUnits code units. Memory stays within a small multiple of the input plus the output.
std::optional<std::u16string> lzDecompressFromBase64(std::string_view base64, std::size_t maxUnits);

// UTF-8 to UTF-16 and back. Bytes that are no valid UTF-8, and unpaired surrogates, become
// U+FFFD.
std::u16string utf8ToUtf16(std::string_view text);
std::string utf16ToUtf8(std::u16string_view text);

}  // namespace punktivo
