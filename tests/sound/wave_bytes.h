#pragma once

// Pieces of WAV files, byte by byte, for files that the sound tests write
// themselves. Every number is little-endian, as in a RIFF file.

#include <cstdint>
#include <string>
#include <string_view>

namespace zentora::testing {

inline std::string Le16(std::uint16_t value) {
  return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

inline std::string Le32(std::uint32_t value) {
  return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
          static_cast<char>((value >> 16) & 0xFF), static_cast<char>(value >> 24)};
}

// A chunk header that declares `size` body bytes, whatever follows it.
inline std::string ChunkHeader(std::string_view id, std::uint32_t size) {
  return std::string(id) + Le32(size);
}

// A complete chunk: header, body and the pad byte that follows an odd body.
inline std::string Chunk(std::string_view id, std::string_view body) {
  std::string chunk = ChunkHeader(id, static_cast<std::uint32_t>(body.size())) + std::string(body);
  if (body.size() % 2 != 0) {
    chunk += '\0';
  }
  return chunk;
}

// The first 16 bytes of a format chunk's body, with a consistent block align
// and byte rate.
inline std::string FormatBody(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
                              std::uint16_t bits) {
  const auto blockAlign = static_cast<std::uint16_t>(channels * bits / 8);
  return Le16(tag) + Le16(channels) + Le32(rate) + Le32(rate * blockAlign) + Le16(blockAlign) +
         Le16(bits);
}

// A 16-byte integer PCM format chunk.
inline std::string PcmFormat(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
  return Chunk("fmt ", FormatBody(1, channels, rate, bits));
}

// A file with the given RIFF header fields and the chunks after it.
inline std::string RiffFile(std::string_view id, std::uint32_t riffSize, std::string_view formType,
                            std::string_view chunks) {
  return std::string(id) + Le32(riffSize) + std::string(formType) + std::string(chunks);
}

// A well-formed WAVE file: the RIFF size counts the form type and the chunks.
inline std::string WaveFile(std::string_view chunks) {
  return RiffFile("RIFF", static_cast<std::uint32_t>(4 + chunks.size()), "WAVE", chunks);
}

// An integer PCM file with one data chunk.
inline std::string PcmWaveFile(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                               std::string_view samples) {
  return WaveFile(PcmFormat(channels, rate, bits) + Chunk("data", samples));
}

}  // namespace zentora::testing
