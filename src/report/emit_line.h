// The line sink every DISPLAY section writes through: the screen always, and
// the log file while it is open and free of errors.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "vxt/byte_access.h"

inline constexpr char kSectionRule[] =
    "------------------------------------------------------------------------\n";

// Writes `text` to standard output and to `log_file` (may be null).  The first
// failed file write is reported on standard error; after that the file's error
// indicator keeps later lines on the screen only.
void EmitLine(std::string_view text, FILE* log_file);

// The file half of EmitLine alone (the banner goes only into the file).
void WriteLogFile(std::string_view text, FILE* log_file);

// printf-style composition of one line (or block) for EmitLine.
std::string FormatLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Emits the three-line header block of a section.
void EmitSectionHeader(const char* title, FILE* log_file);

// Appends `count` bytes of `data` from `offset` as characters, the way device
// strings print: each byte as it stands, zero bytes and offsets past the end
// of `data` left out.  The 0xFF fill that a short inquiry leaves behind is
// printed like any other byte.
void AppendDeviceChars(std::string* line, ConstBytes data, size_t offset, size_t count);
