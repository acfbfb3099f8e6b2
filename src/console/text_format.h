// Text composition shared by the human and the machine-readable readers:
// printf-style lines, device strings as they print, the BIOS version.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "vxt/byte_access.h"

// printf-style composition of one line (or block).
std::string FormatLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Appends `count` bytes of `data` from `offset` as characters, the way device
// strings print: each byte as it stands, zero bytes and offsets past the end
// of `data` left out.  The 0xFF fill that a short inquiry leaves behind is
// printed like any other byte.
void AppendDeviceChars(std::string* line, ConstBytes data, size_t offset, size_t count);

// The BIOS version as DISPLAY shows it: hexadecimal below 6.12, decimal from
// there on.
std::string BiosVersionText(uint32_t bios_version);
