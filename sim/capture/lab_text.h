// How capture writes what it read in the lab's notation.
#pragma once

#include <cstdint>
#include <string>

#include "capture.h"
#include "vxt/byte_access.h"

namespace capture {

// The `width` bytes at `offset`, as far as the buffer holds them.
ConstBytes Slice(ConstBytes bytes, size_t offset, size_t width);

// "0x" and `digits` hexadecimal digits.
std::string HexNumber(uint64_t value, int digits);
// Hex digits of the bytes, as the lab's byte patches hold them.
std::string HexBytes(ConstBytes bytes);

// The byte patches {"offset": "hex"} that turn `expected` into `actual`
// (compared as far as both reach).
Json Patches(ConstBytes actual, ConstBytes expected);

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
