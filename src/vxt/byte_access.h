// Little-endian field access over byte buffers that came from (or go to) the
// firmware.  Every read checks the field against the buffer length and yields
// 0 for bytes the firmware did not deliver; every write outside the buffer is
// dropped.  Nothing here ever casts a firmware buffer to a struct.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

using ConstBytes = std::span<const uint8_t>;
using MutableBytes = std::span<uint8_t>;

// True when `width` bytes at `offset` lie inside a buffer of `size` bytes.
inline bool FieldFits(size_t size, size_t offset, size_t width) {
  return offset <= size && width <= size - offset;
}

inline uint64_t GetLe(ConstBytes b, size_t offset, size_t width) {
  if (!FieldFits(b.size(), offset, width)) return 0;
  uint64_t v = 0;
  for (size_t i = width; i-- > 0;) v = (v << 8) | b[offset + i];
  return v;
}

inline uint8_t GetU8(ConstBytes b, size_t offset) {
  return static_cast<uint8_t>(GetLe(b, offset, 1));
}
inline uint16_t GetU16(ConstBytes b, size_t offset) {
  return static_cast<uint16_t>(GetLe(b, offset, 2));
}
inline uint32_t GetU32(ConstBytes b, size_t offset) {
  return static_cast<uint32_t>(GetLe(b, offset, 4));
}
inline uint64_t GetU64(ConstBytes b, size_t offset) { return GetLe(b, offset, 8); }

inline uint32_t GetBe32(ConstBytes b, size_t offset) {
  if (!FieldFits(b.size(), offset, 4)) return 0;
  return (uint32_t{b[offset]} << 24) | (uint32_t{b[offset + 1]} << 16) |
         (uint32_t{b[offset + 2]} << 8) | uint32_t{b[offset + 3]};
}
inline uint16_t GetBe16(ConstBytes b, size_t offset) {
  if (!FieldFits(b.size(), offset, 2)) return 0;
  return static_cast<uint16_t>((b[offset] << 8) | b[offset + 1]);
}

inline void PutLe(MutableBytes b, size_t offset, size_t width, uint64_t v) {
  if (!FieldFits(b.size(), offset, width)) return;
  for (size_t i = 0; i < width; ++i) b[offset + i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void PutU8(MutableBytes b, size_t offset, uint8_t v) { PutLe(b, offset, 1, v); }
inline void PutU16(MutableBytes b, size_t offset, uint16_t v) { PutLe(b, offset, 2, v); }
inline void PutU32(MutableBytes b, size_t offset, uint32_t v) { PutLe(b, offset, 4, v); }
inline void PutU64(MutableBytes b, size_t offset, uint64_t v) { PutLe(b, offset, 8, v); }

inline void PutBe32(MutableBytes b, size_t offset, uint32_t v) {
  if (!FieldFits(b.size(), offset, 4)) return;
  for (size_t i = 0; i < 4; ++i) b[offset + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}
inline void PutBe16(MutableBytes b, size_t offset, uint16_t v) {
  if (!FieldFits(b.size(), offset, 2)) return;
  b[offset] = static_cast<uint8_t>(v >> 8);
  b[offset + 1] = static_cast<uint8_t>(v);
}

// Copies up to `length` bytes at `offset`; bytes past the buffer read as 0.
inline void CopyOut(ConstBytes b, size_t offset, void* dest, size_t length) {
  std::memset(dest, 0, length);
  if (offset >= b.size()) return;
  size_t n = b.size() - offset < length ? b.size() - offset : length;
  std::memcpy(dest, b.data() + offset, n);
}
