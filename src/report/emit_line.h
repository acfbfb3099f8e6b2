// The line sink every DISPLAY section writes through: the screen always, and
// the log file while it is open and free of errors.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "console/text_format.h"

inline constexpr char kSectionRule[] =
    "------------------------------------------------------------------------\n";

// Writes `text` to standard output and to `log_file` (may be null).  The first
// failed file write is reported on standard error; after that the file's error
// indicator keeps later lines on the screen only.
void EmitLine(std::string_view text, FILE* log_file);

// The file half of EmitLine alone (the banner goes only into the file).
void WriteLogFile(std::string_view text, FILE* log_file);

// Emits the three-line header block of a section.
void EmitSectionHeader(const char* title, FILE* log_file);
