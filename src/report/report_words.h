// The words and fixed lines that DISPLAY and STATUS derive from firmware
// values.  Pure functions: no requests, no output.
#pragma once

#include <cstdint>
#include <string>

#include "console/text_format.h"

// "  BIOS version ..." with its newline; hexadecimal below 6.12, decimal from
// there on.
std::string BiosVersionLine(uint32_t bios_version);

// DISPLAY's volume state, newline included ("Okay (OKY)\n", ...).
const char* VolumeStateText(uint8_t volume_state, uint8_t volume_status_flags);

// RAID level of an IocPg2 volume type, newline included.
const char* RaidLevelText(uint8_t volume_type);

// STATUS's word for a volume state, without newline.
const char* StatusStateWord(uint8_t volume_state);

// STATUS's size, remaining and percentage lines for a running resync with a
// non-zero total.
std::string ProgressLines(uint64_t total_blocks, uint64_t blocks_remaining);
