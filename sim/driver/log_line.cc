#include "driver/log_line.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace vxtsim {

using log_detail::kLogBlock;
using log_detail::kLogKeyLengths;
using log_detail::kLogKeyNames;

namespace {

// "00".."99" and "00".."ff": two characters per step.
struct Pairs {
  char decimal[200];
  char hex[512];
  constexpr Pairs() : decimal(), hex() {
    const char* digits = "0123456789abcdef";
    for (int i = 0; i < 100; ++i) {
      decimal[2 * i] = static_cast<char>('0' + i / 10);
      decimal[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    for (int i = 0; i < 256; ++i) {
      hex[2 * i] = digits[i >> 4];
      hex[2 * i + 1] = digits[i & 0xF];
    }
  }
};
constexpr Pairs kPairs;

}  // namespace

LogLine& LogLine::operator=(const LogLine& other) {
  if (this == &other) return *this;
  size_ = 0;
  Grow(other.size_);
  std::memcpy(data_, other.data_, other.size_);
  size_ = other.size_;
  slots_ = other.slots_;
  return *this;
}

void LogLine::Enlarge(size_t need) {
  size_t capacity = std::max(need, capacity_ * 2);
  char* data = static_cast<char*>(std::malloc(capacity));
  if (!data) std::abort();
  std::memcpy(data, data_, size_);
  if (data_ != inline_) std::free(data_);
  data_ = data;
  capacity_ = capacity;
}

LogLine::~LogLine() {
  if (data_ != inline_) std::free(data_);
}

void LogLine::Number(LogKey key, int64_t value) {
  // Digits fill the first block from its end; the block after it is slack
  // for the whole-block copy. Most keys repeat their last value, so the
  // digits of each key's last value are kept (the simulator serves one
  // request at a time).
  struct Digits {
    bool set = false;
    int64_t value = 0;
    size_t at = 0;
    char text[2 * kLogBlock];
  };
  static Digits last[static_cast<size_t>(LogKey::kCount)];
  Digits& d = last[Slot(key)];
  if (!d.set || d.value != value) {
    size_t at = kLogBlock;
    uint64_t v = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    while (v >= 100) {
      at -= 2;
      std::memcpy(d.text + at, kPairs.decimal + 2 * (v % 100), 2);
      v /= 100;
    }
    if (v >= 10) {
      at -= 2;
      std::memcpy(d.text + at, kPairs.decimal + 2 * v, 2);
    } else {
      d.text[--at] = static_cast<char>('0' + v);
    }
    if (value < 0) d.text[--at] = '-';
    d.set = true;
    d.value = value;
    d.at = at;
  }
  std::memcpy(Member(key, kLogBlock - d.at), d.text + d.at, kLogBlock);
}

void LogLine::Text(LogKey key, const char* value) {
  size_t n = std::strlen(value);
  char* out = Member(key, n + 2);
  out[0] = '"';
  // A quoted JSON value inside the line, not a C string.
  // NOLINTNEXTLINE(bugprone-not-null-terminated-result)
  std::memcpy(out + 1, value, n);
  out[n + 1] = '"';
}

void LogLine::Hex(LogKey key, const uint8_t* data, size_t size) {
  char* out = Member(key, size * 2 + 2);
  out[0] = '"';
  for (size_t i = 0; i < size; ++i) std::memcpy(out + 1 + 2 * i, kPairs.hex + 2 * data[i], 2);
  out[size * 2 + 1] = '"';
}

void LogLine::AppendTo(std::string& text) const {
  size_t at = text.size();
  text.resize(at + size_ + slots_.size() + 3 + kLogBlock);
  char* out = &text[0];
  out[at++] = '{';
  bool first = true;
  for (const Span& span : slots_) {
    if (!span.size) continue;
    if (!first) out[at++] = ',';
    first = false;
    if (span.size <= kLogBlock) {
      std::memcpy(out + at, data_ + span.start, kLogBlock);
    } else {
      std::memcpy(out + at, data_ + span.start, span.size);
    }
    at += span.size;
  }
  out[at++] = '}';
  out[at++] = '\n';
  text.resize(at);
}

std::string LogLine::Json() const {
  std::string text;
  AppendTo(text);
  text.pop_back();
  return text;
}

}  // namespace vxtsim
