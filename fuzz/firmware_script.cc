#include "firmware_script.h"

#include <cerrno>
#include <cstring>

#include "vxt/driver_records.h"

namespace fuzz {

uint8_t ScriptReader::Byte() { return at_ < size_ ? data_[at_++] : 0; }

uint16_t ScriptReader::Word16() {
  uint16_t low = Byte();
  return static_cast<uint16_t>(low | (Byte() << 8));
}

uint32_t ScriptReader::Word32() {
  uint32_t low = Word16();
  return low | (uint32_t{Word16()} << 16);
}

void ScriptReader::Block(uint8_t* out, size_t room) {
  size_t length = Word16();
  size_t have = size_ - at_ < length ? size_ - at_ : length;
  size_t copied = have < room ? have : room;
  if (copied != 0 && out != nullptr) std::memcpy(out, data_ + at_, copied);
  at_ += have;
}

const char* ScriptReader::Text(std::vector<char>* storage) {
  storage->clear();
  while (at_ < size_ && data_[at_] != 0) storage->push_back(static_cast<char>(data_[at_++]));
  if (at_ < size_) ++at_;
  storage->push_back('\0');
  return storage->data();
}

}  // namespace fuzz
