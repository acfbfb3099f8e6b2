// The words of a layout document: drive places, volume type words, sizes.
#pragma once

#include <cstdint>
#include <string>

#include "layout/layout_document.h"

// Target IDs run to 255 on any controller; whether one is there is the
// plan's to find out.
inline constexpr uint32_t kMaxLayoutTarget = 255;

// "Encl:Bay" (two decimal numbers, the enclosure from 1) or a decimal target
// ID.  1 when `text` is one of them.
int ParsePlace(const std::string& text, LayoutPlace* place);

// CREATE's type words in any case.  1 with the type code.
int ParseTypeWord(const std::string& word, uint8_t* type);

// "max" in any case, or megabytes as CREATE reads them (decimal, 0x hex or
// leading-0 octal, nothing else, not 0).  1 with `max` or `size_mb` set.
int ParseSizeWord(const std::string& word, bool* max, uint64_t* size_mb);
