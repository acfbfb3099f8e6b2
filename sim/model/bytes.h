// Little-endian field access over byte vectors. Writes past the end are
// dropped and reads past the end give 0, so a malformed request can never
// make the model touch memory it does not own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vxtsim {

using Bytes = std::vector<uint8_t>;

inline uint64_t GetLe(const Bytes& b, size_t off, size_t width) {
  uint64_t v = 0;
  for (size_t i = 0; i < width; ++i) {
    if (off + i < b.size()) v |= uint64_t{b[off + i]} << (8 * i);
  }
  return v;
}
inline uint8_t Get8(const Bytes& b, size_t off) { return static_cast<uint8_t>(GetLe(b, off, 1)); }
inline uint16_t Get16(const Bytes& b, size_t off) {
  return static_cast<uint16_t>(GetLe(b, off, 2));
}
inline uint32_t Get32(const Bytes& b, size_t off) {
  return static_cast<uint32_t>(GetLe(b, off, 4));
}
inline uint64_t Get64(const Bytes& b, size_t off) { return GetLe(b, off, 8); }

inline void PutLe(Bytes& b, size_t off, size_t width, uint64_t v) {
  for (size_t i = 0; i < width; ++i) {
    if (off + i < b.size()) b[off + i] = static_cast<uint8_t>(v >> (8 * i));
  }
}
inline void Put8(Bytes& b, size_t off, uint64_t v) { PutLe(b, off, 1, v); }
inline void Put16(Bytes& b, size_t off, uint64_t v) { PutLe(b, off, 2, v); }
inline void Put32(Bytes& b, size_t off, uint64_t v) { PutLe(b, off, 4, v); }
inline void Put64(Bytes& b, size_t off, uint64_t v) { PutLe(b, off, 8, v); }

// Copies text into a fixed-width field padded with blanks, as SCSI and ATA
// identity strings are stored.
inline void PutText(Bytes& b, size_t off, size_t width, const std::string& text) {
  for (size_t i = 0; i < width; ++i) {
    if (off + i < b.size()) b[off + i] = i < text.size() ? static_cast<uint8_t>(text[i]) : ' ';
  }
}

std::string ToHex(const uint8_t* data, size_t size);
inline std::string ToHex(const Bytes& b) { return ToHex(b.data(), b.size()); }
// Parses hex digits, ignoring blanks; returns false on any other character or
// an odd digit count.
bool FromHex(const std::string& text, Bytes& out);

}  // namespace vxtsim
