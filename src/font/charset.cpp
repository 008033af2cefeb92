#include "font/charset.h"

#include <iconv.h>

#include <array>
#include <cassert>

namespace zentora {

namespace {

constexpr int kGb2312Side = 94;      // 0xA1..0xFE for both bytes
constexpr int kGbkTrailCount = 190;  // 0x40..0xFE without 0x7F
constexpr int kGbkLeadCount = 126;   // 0x81..0xFE

// GBK's trail bytes skip 0x7F.
int GbkTrailIndex(int trail) {
  return trail < 0x7F ? trail - 0x40 : trail - 0x41;
}
int GbkTrailOfIndex(int index) {
  return index < 0x3F ? index + 0x40 : index + 0x41;
}

// Converts double-byte codes through one iconv descriptor, which is not
// shared between threads.
class CGbkDecoder {
 public:
  CGbkDecoder() : cd_(iconv_open("UTF-16LE", "GBK")) {}
  ~CGbkDecoder() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) {
      iconv_close(cd_);
    }
  }
  CGbkDecoder(const CGbkDecoder&) = delete;
  CGbkDecoder& operator=(const CGbkDecoder&) = delete;

  // Two bytes in, one UTF-16 code unit out, or none.
  std::optional<char16_t> Decode(std::uint16_t code) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      return std::nullopt;
    }
    std::array<char, 2> in{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    std::array<char, 8> out{};
    char* inPointer = in.data();
    char* outPointer = out.data();
    std::size_t inLeft = in.size();
    std::size_t outLeft = out.size();
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    const std::size_t converted = iconv(cd_, &inPointer, &inLeft, &outPointer, &outLeft);
    const std::size_t produced = out.size() - outLeft;
    if (converted == static_cast<std::size_t>(-1) || inLeft != 0 || produced != 2) {
      return std::nullopt;
    }
    return static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                 static_cast<unsigned char>(out[1]) << 8);
  }

 private:
  iconv_t cd_;
};

}  // namespace

int GlyphCount(CharsetKind kind) {
  switch (kind) {
    case CharsetKind::kAscii:
      return 128;
    case CharsetKind::kGb2312:
      return kGb2312Side * kGb2312Side;
    case CharsetKind::kGbk:
      return kGbkLeadCount * kGbkTrailCount;
  }
  return 0;
}

std::string_view CharsetName(CharsetKind kind) {
  switch (kind) {
    case CharsetKind::kAscii:
      return "ASCII";
    case CharsetKind::kGb2312:
      return "GB2312";
    case CharsetKind::kGbk:
      return "GBK";
  }
  return {};
}

std::uint16_t CodeOfGlyph(CharsetKind kind, int number) {
  assert(number >= 0 && number < GlyphCount(kind));
  switch (kind) {
    case CharsetKind::kAscii:
      return static_cast<std::uint16_t>(number);
    case CharsetKind::kGb2312:
      return static_cast<std::uint16_t>((0xA1 + number / kGb2312Side) << 8 |
                                        (0xA1 + number % kGb2312Side));
    case CharsetKind::kGbk:
      return static_cast<std::uint16_t>((0x81 + number / kGbkTrailCount) << 8 |
                                        GbkTrailOfIndex(number % kGbkTrailCount));
  }
  return 0;
}

std::optional<int> GlyphNumberOfCode(CharsetKind kind, std::uint16_t code) {
  const int lead = code >> 8;
  const int trail = code & 0xFF;
  switch (kind) {
    case CharsetKind::kAscii:
      return code < 0x80 ? std::optional(static_cast<int>(code)) : std::nullopt;
    case CharsetKind::kGb2312:
      if (lead < 0xA1 || lead > 0xFE || trail < 0xA1 || trail > 0xFE) {
        return std::nullopt;
      }
      return (lead - 0xA1) * kGb2312Side + (trail - 0xA1);
    case CharsetKind::kGbk:
      if (lead < 0x81 || lead > 0xFE || trail < 0x40 || trail > 0xFE || trail == 0x7F) {
        return std::nullopt;
      }
      return (lead - 0x81) * kGbkTrailCount + GbkTrailIndex(trail);
  }
  return std::nullopt;
}

std::vector<std::optional<char16_t>> CharsetCharacters(CharsetKind kind) {
  const int count = GlyphCount(kind);
  std::vector<std::optional<char16_t>> characters(static_cast<std::size_t>(count));
  if (kind == CharsetKind::kAscii) {
    for (int c = 0; c < count; ++c) {
      characters[static_cast<std::size_t>(c)] = static_cast<char16_t>(c);
    }
    return characters;
  }
  CGbkDecoder decoder;
  for (int i = 0; i < count; ++i) {
    characters[static_cast<std::size_t>(i)] = decoder.Decode(CodeOfGlyph(kind, i));
  }
  return characters;
}

std::unordered_map<char16_t, std::uint16_t> CharacterCodes(CharsetKind kind) {
  const std::vector<std::optional<char16_t>> characters = CharsetCharacters(kind);
  std::unordered_map<char16_t, std::uint16_t> codes;
  for (std::size_t i = 0; i < characters.size(); ++i) {
    if (characters[i]) {
      codes.try_emplace(*characters[i], CodeOfGlyph(kind, static_cast<int>(i)));
    }
  }
  return codes;
}

}  // namespace zentora
