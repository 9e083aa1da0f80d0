// LZ-string in its Base64 form: the packer writes exactly what the JavaScript library writes;
// the reader keeps each dictionary entry as a place in its own output, so hostile input costs
// no more than the output it is allowed to make.
#include "storage/lz_string.h"

#include <array>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "storage/utf8.h"

namespace punktivo {
namespace {

constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int kBitsPerChar = 6;
// Wider codes would need a dictionary of millions of entries: no link comes near it.
constexpr int kMostBits = 24;

// Collects bits, the first of each character in its highest place.
class BitWriter {
 public:
  void write(uint32_t value, int count) {  // lowest bit of value first
    for (int i = 0; i < count; ++i) {
      push(value & 1U);
      value >>= 1;
    }
  }
  // The code of a character seen for the first time: 0 and 8 bits, or 1 and 16 bits.
  void writeLiteral(char16_t c, int numBits) {
    if (c < 256) {
      write(0, numBits);
      write(c, 8);
    } else {
      write(1, numBits);
      write(c, 16);
    }
  }
  std::string finish() {
    while (position_ != 0) push(0);
    while (out_.size() % 4 != 0) out_ += '=';
    return out_;
  }

 private:
  void push(uint32_t bit) {
    value_ = (value_ << 1) | bit;
    if (++position_ == kBitsPerChar) {
      out_ += kAlphabet[value_];
      value_ = 0;
      position_ = 0;
    }
  }
  std::string out_;
  uint32_t value_ = 0;
  int position_ = 0;
};

// Reads the bits back; running past the last character is an error, not zeros.
class BitReader {
 public:
  explicit BitReader(std::string_view text) : text_(text) {}

  // count bits, lowest place first; nullopt when the data ends first.
  std::optional<uint32_t> read(int count) {
    uint32_t bits = 0;
    for (int i = 0; i < count; ++i) {
      if (mask_ == 0) {
        if (index_ >= text_.size()) return std::nullopt;
        value_ = digitOf(text_[index_++]);
        mask_ = 1U << (kBitsPerChar - 1);
      }
      if ((value_ & mask_) != 0) bits |= 1U << i;
      mask_ >>= 1;
    }
    return bits;
  }

 private:
  static uint32_t digitOf(char c) {
    if (c == '=') return 0;  // padding, checked by the caller to stand only at the end
    return static_cast<uint32_t>(kAlphabet.find(c));
  }
  std::string_view text_;
  std::size_t index_ = 0;
  uint32_t value_ = 0;
  uint32_t mask_ = 0;
};

struct Span {
  std::size_t offset;
  std::size_t length;
};

// After an entry is used the dictionary grows; the code width grows when it must.
void countDown(int& enlargeIn, int& numBits) {
  if (--enlargeIn == 0) {
    enlargeIn = 1 << numBits;
    ++numBits;
  }
}

bool validBase64(std::string_view text) {
  const std::size_t end = text.find_last_not_of('=');
  if (end == std::string_view::npos) return text.empty();
  if (text.size() - end - 1 > 3) return false;
  for (std::size_t i = 0; i <= end; ++i)
    if (kAlphabet.find(text[i]) == std::string_view::npos) return false;
  return true;
}

}  // namespace

std::string lzCompressToBase64(std::u16string_view text) {
  std::unordered_map<std::u16string, uint32_t> dictionary;
  std::unordered_set<char16_t> toCreate;  // characters whose literal code is still owed
  BitWriter out;
  uint32_t dictSize = 3;
  int enlargeIn = 2;
  int numBits = 2;
  std::u16string w;

  const auto emit = [&](const std::u16string& phrase) {
    if (phrase.size() == 1 && toCreate.count(phrase[0]) != 0) {
      out.writeLiteral(phrase[0], numBits);
      countDown(enlargeIn, numBits);
      toCreate.erase(phrase[0]);
    } else {
      out.write(dictionary.at(phrase), numBits);
    }
    countDown(enlargeIn, numBits);
  };

  for (const char16_t c : text) {
    const std::u16string single(1, c);
    if (dictionary.emplace(single, dictSize).second) {
      ++dictSize;
      toCreate.insert(c);
    }
    std::u16string wc = w + c;
    if (dictionary.count(wc) != 0) {
      w = std::move(wc);
      continue;
    }
    emit(w);
    dictionary.emplace(std::move(wc), dictSize++);
    w = single;
  }
  if (!w.empty()) emit(w);
  out.write(2, numBits);  // end of stream
  return out.finish();
}

std::optional<std::u16string> lzDecompressFromBase64(std::string_view base64, std::size_t maxUnits) {
  if (!validBase64(base64)) return std::nullopt;
  BitReader in(base64);
  std::u16string out;
  // Codes 0-2 are the literal and end markers; every other entry is a stretch of the output.
  std::vector<Span> dictionary(3, Span{0, 0});
  int enlargeIn = 4;
  int numBits = 3;

  const auto readLiteral = [&](uint32_t kind) -> std::optional<char16_t> {
    const auto c = in.read(kind == 0 ? 8 : 16);
    if (!c) return std::nullopt;
    return static_cast<char16_t>(*c);
  };

  const auto first = in.read(2);
  if (!first || *first > 2) return std::nullopt;
  if (*first == 2) return out;  // the empty text
  const auto c0 = readLiteral(*first);
  if (!c0 || maxUnits == 0) return std::nullopt;
  dictionary.push_back(Span{0, 1});
  out += *c0;
  Span w{0, 1};

  for (;;) {
    if (numBits > kMostBits) return std::nullopt;
    const auto code = in.read(numBits);
    if (!code) return std::nullopt;
    if (*code == 2) return out;
    Span entry{out.size(), 0};  // where this entry now stands in the output
    if (*code < 2) {
      const auto c = readLiteral(*code);
      if (!c || out.size() >= maxUnits) return std::nullopt;
      dictionary.push_back(Span{out.size(), 1});
      out += *c;
      entry.length = 1;
      countDown(enlargeIn, numBits);
    } else {
      Span source{};
      if (*code < dictionary.size()) {
        source = dictionary[*code];
      } else if (*code == dictionary.size()) {
        source = Span{w.offset, w.length + 1};  // w and its own first character
      } else {
        return std::nullopt;
      }
      if (source.length > maxUnits - out.size()) return std::nullopt;
      // Index by index: the stretch may run into what this loop appends.
      for (std::size_t i = 0; i < source.length; ++i) out += out[source.offset + i];
      entry.length = source.length;
    }
    // w followed by the entry's first character: they stand side by side in the output.
    dictionary.push_back(Span{w.offset, w.length + 1});
    w = entry;
    countDown(enlargeIn, numBits);
  }
}

std::u16string utf8ToUtf16(std::string_view text) {
  std::u16string out;
  std::size_t i = 0;
  while (i < text.size()) {
    const auto byte = static_cast<unsigned char>(text[i]);
    int extra = 0;
    uint32_t code = 0;
    if (byte < 0x80) {
      code = byte;
    } else if ((byte & 0xE0) == 0xC0) {
      extra = 1;
      code = byte & 0x1FU;
    } else if ((byte & 0xF0) == 0xE0) {
      extra = 2;
      code = byte & 0x0FU;
    } else if ((byte & 0xF8) == 0xF0) {
      extra = 3;
      code = byte & 0x07U;
    } else {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    bool valid = i + static_cast<std::size_t>(extra) < text.size();
    for (int k = 1; valid && k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      valid = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3FU);
    }
    constexpr std::array<uint32_t, 4> kSmallest = {0, 0x80, 0x800, 0x10000};
    if (!valid || code < kSmallest[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (code >> 10));
      out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    } else {
      out += static_cast<char16_t>(code);
    }
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

std::string utf16ToUtf8(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    uint32_t code = text[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00U);
      ++i;
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      code = 0xFFFD;
    }
    appendUtf8(out, code);
  }
  return out;
}

}  // namespace punktivo
