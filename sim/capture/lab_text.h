// How capture writes what it read in the lab's notation.
#pragma once

#include <cstdint>
#include <string>

#include "capture.h"
#include "model/page_state.h"
#include "vxt/byte_access.h"

namespace capture {

// The `width` bytes at `offset`, as far as the buffer holds them.
ConstBytes Slice(ConstBytes bytes, size_t offset, size_t width);

// "0x" and `digits` hexadecimal digits.
std::string HexNumber(uint64_t value, int digits);
// Hex digits of the bytes, as the lab's byte patches hold them.
std::string HexBytes(ConstBytes bytes);

// A value the lab shows as "0x" and `digits` hexadecimal digits (flag words,
// identifiers and addresses read better so).
template <typename T>
void SetHex(vxtsim::Given<T>& key, uint64_t value, int digits) {
  key = static_cast<T>(value);
  key.spelling = vxtsim::Spelling::kHexLower;
  key.width = static_cast<uint8_t>(digits);
}

// Lays `bytes` at `offset` into the patches, in place of one already there.
void AddPatch(vxtsim::Patches& patches, size_t offset, ConstBytes bytes);

// The byte patches that turn `expected` into `actual` (compared as far as
// both reach).
vxtsim::Patches DiffPatches(ConstBytes actual, ConstBytes expected);
bool SamePatches(const vxtsim::Patches& a, const vxtsim::Patches& b);

// An identity field padded with blanks, as a lab string: the blanks at the
// end go. False when the field holds bytes a lab string does not render
// back (then `text` keeps its printable characters).
bool FieldText(ConstBytes field, std::string* text);
// The field as a lab string renders it: `text` padded with blanks.
std::string Rendered(const std::string& text, size_t width);

// An ATA string of `words` words from `first_word` on, two characters per
// word with the first in the high byte; the blanks at the end go.
std::string AtaText(ConstBytes identify, size_t first_word, size_t words);

// "1 volume", "3 volumes".
std::string Counted(size_t n, const char* what);

}  // namespace capture
