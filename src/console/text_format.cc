#include "console/text_format.h"

#include <cstdarg>
#include <cstdio>

std::string FormatLine(const char* format, ...) {
  char small[200];
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  int n = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  std::string line;
  if (n < 0) {
    va_end(again);
    return line;
  }
  if (static_cast<size_t>(n) < sizeof small) {
    line.assign(small, static_cast<size_t>(n));
  } else {
    line.resize(static_cast<size_t>(n) + 1);
    std::vsnprintf(line.data(), line.size(), format, again);
    line.resize(static_cast<size_t>(n));
  }
  va_end(again);
  return line;
}

void AppendDeviceChars(std::string* line, ConstBytes data, size_t offset, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    uint8_t ch = GetU8(data, offset + i);
    if (ch != 0) line->push_back(static_cast<char>(ch));
  }
}

std::string BiosVersionText(uint32_t v) {
  unsigned major = v >> 24, minor = (v >> 16) & 0xFF, unit = (v >> 8) & 0xFF, dev = v & 0xFF;
  if (major < 6 || (major == 6 && minor < 12)) {
    return FormatLine("%x.%02x.%02x.%02x", major, minor, unit, dev);
  }
  return FormatLine("%u.%02u.%02u.%02u", major, minor, unit, dev);
}
