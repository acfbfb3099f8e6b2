#include "report/emit_line.h"

#include <cstdarg>

void EmitLine(std::string_view text, FILE* log_file) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  WriteLogFile(text, log_file);
}

void WriteLogFile(std::string_view text, FILE* log_file) {
  if (log_file == nullptr || std::ferror(log_file)) return;
  // Flushed line by line so that a full disk is reported where it happens,
  // not at exit when nobody can act on it any more.
  if (std::fwrite(text.data(), 1, text.size(), log_file) != text.size() ||
      std::fflush(log_file) != 0) {
    std::perror("Error when writing in file");
  }
}

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

void EmitSectionHeader(const char* title, FILE* log_file) {
  std::string block = kSectionRule;
  block += title;
  block += '\n';
  block += kSectionRule;
  EmitLine(block, log_file);
}

void AppendDeviceChars(std::string* line, ConstBytes data, size_t offset, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    uint8_t ch = GetU8(data, offset + i);
    if (ch != 0) line->push_back(static_cast<char>(ch));
  }
}
