// A scripted driver for fuzzing: every driver request volkit makes is answered
// from a byte script, in order, and a recorder writes such scripts from the
// answers of a real (or simulated) driver, so that seeds come from real pages.
//
// Script of one request: a flags byte (bit 0: the ioctl fails, bit 1: it fails
// with ENODEV), then for a message pass-through the reply, data-in and sense
// bytes (each a little-endian 16-bit length, then the bytes), for an adapter
// query the five adapter words (4 bytes each).  A script that has run out
// fails every further request, so every run ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fuzz {

inline constexpr uint8_t kScriptFail = 0x01;
inline constexpr uint8_t kScriptNoDevice = 0x02;

// Reads the script of the requests to come.
class ScriptReader {
 public:
  ScriptReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Empty() const { return at_ >= size_; }
  uint8_t Byte();
  uint16_t Word16();
  uint32_t Word32();
  // Copies a length-prefixed block into `out` (at most `room` bytes); the
  // rest of a longer block is skipped.
  void Block(uint8_t* out, size_t room);
  // The remaining bytes up to the next zero byte (consumed with it).
  const char* Text(std::vector<char>* storage);

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

// Answers volkit's driver requests from `script` until the next call.
void UseScript(ScriptReader* script);

// Appends the script of each request the real driver answered.
void StartRecording(std::vector<uint8_t>* script);

}  // namespace fuzz
