#include "lab_text.h"

#include <algorithm>
#include <cstdio>

namespace capture {

ConstBytes Slice(ConstBytes bytes, size_t offset, size_t width) {
  if (offset >= bytes.size()) return {};
  return bytes.subspan(offset, std::min(width, bytes.size() - offset));
}

std::string HexNumber(uint64_t value, int digits) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%0*llx", digits, static_cast<unsigned long long>(value));
  return text;
}

std::string HexBytes(ConstBytes bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (uint8_t b : bytes) {
    hex += kDigits[b >> 4];
    hex += kDigits[b & 0xF];
  }
  return hex;
}

void AddPatch(vxtsim::Patches& patches, size_t offset, ConstBytes bytes) {
  vxtsim::Patch patch{std::to_string(offset), static_cast<uint32_t>(offset), HexBytes(bytes),
                      vxtsim::Bytes(bytes.begin(), bytes.end())};
  patches.given = true;
  for (vxtsim::Patch& p : patches.list) {
    if (p.key == patch.key) {
      p = std::move(patch);
      return;
    }
  }
  patches.list.push_back(std::move(patch));
}

vxtsim::Patches DiffPatches(ConstBytes actual, ConstBytes expected) {
  vxtsim::Patches patches;
  size_t n = std::min(actual.size(), expected.size());
  for (size_t i = 0; i < n; ++i) {
    if (actual[i] == expected[i]) continue;
    size_t end = i;
    while (end < n && actual[end] != expected[end]) ++end;
    AddPatch(patches, i, actual.subspan(i, end - i));
    i = end;
  }
  return patches;
}

bool SamePatches(const vxtsim::Patches& a, const vxtsim::Patches& b) {
  if (a.list.size() != b.list.size()) return false;
  for (size_t i = 0; i < a.list.size(); ++i) {
    if (a.list[i].key != b.list[i].key || a.list[i].text != b.list[i].text) return false;
  }
  return true;
}

bool FieldText(ConstBytes field, std::string* text) {
  size_t end = field.size();
  while (end > 0 && field[end - 1] == ' ') --end;
  text->clear();
  bool exact = true;
  for (size_t i = 0; i < end; ++i) {
    if (field[i] >= 0x20 && field[i] < 0x7F) {
      *text += static_cast<char>(field[i]);
    } else {
      exact = false;
    }
  }
  return exact;
}

std::string Rendered(const std::string& text, size_t width) {
  std::string field = text.substr(0, width);
  field.resize(width, ' ');
  return field;
}

std::string AtaText(ConstBytes identify, size_t first_word, size_t words) {
  std::string swapped;
  for (size_t i = 0; i < words * 2; ++i) {
    size_t at = 2 * (first_word + i / 2) + (i % 2 == 0 ? 1 : 0);
    swapped += static_cast<char>(GetU8(identify, at));
  }
  std::string text;
  FieldText(ConstBytes(reinterpret_cast<const uint8_t*>(swapped.data()), swapped.size()), &text);
  return text;
}

std::string Counted(size_t n, const char* what) {
  return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

}  // namespace capture
