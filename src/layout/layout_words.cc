#include "layout/layout_words.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace {

struct TypeWord {
  const char* Word;
  uint8_t Type;
};

// The codes of the firmware's volume types (IocPg2 and RaidVolPg0).
constexpr TypeWord kTypeWords[] = {{"im", 2},     {"raid1", 2}, {"ime", 1},
                                   {"raid1e", 1}, {"is", 0},    {"raid0", 0}};

std::string Lower(std::string word) {
  for (char& ch : word) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return word;
}

// Decimal digits only, at most `limit`.
bool Decimal(const std::string& text, uint32_t limit, uint32_t* value) {
  if (text.empty() || text.size() > 5) return false;
  uint32_t v = 0;
  for (char ch : text) {
    if (!std::isdigit(static_cast<unsigned char>(ch))) return false;
    v = v * 10 + static_cast<uint32_t>(ch - '0');
  }
  if (v > limit) return false;
  *value = v;
  return true;
}

}  // namespace

bool operator==(const LayoutPlace& a, const LayoutPlace& b) {
  if (a.EnclBay != b.EnclBay) return false;
  return a.EnclBay ? a.Enclosure == b.Enclosure && a.Bay == b.Bay : a.Target == b.Target;
}

void AppendJoined(std::string* text, const char* separator, const std::string& item) {
  if (!text->empty()) text->append(separator);
  text->append(item);
}

std::string PlaceText(const LayoutPlace& place) {
  if (!place.EnclBay) return std::to_string(place.Target);
  return std::to_string(place.Enclosure) + ":" + std::to_string(place.Bay);
}

int ParsePlace(const std::string& text, LayoutPlace* place) {
  size_t colon = text.find(':');
  if (colon == std::string::npos) {
    uint32_t target = 0;
    if (!Decimal(text, kMaxLayoutTarget, &target)) return 0;
    *place = {false, 0, 0, target};
    return 1;
  }
  uint32_t enclosure = 0, bay = 0;
  if (!Decimal(text.substr(0, colon), 0xFFFF, &enclosure) || enclosure == 0 ||
      !Decimal(text.substr(colon + 1), 0xFFFF, &bay))
    return 0;
  *place = {true, static_cast<uint16_t>(enclosure), static_cast<uint16_t>(bay), 0};
  return 1;
}

int ParseTypeWord(const std::string& word, uint8_t* type) {
  std::string lower = Lower(word);
  for (const TypeWord& t : kTypeWords) {
    if (lower == t.Word) {
      *type = t.Type;
      return 1;
    }
  }
  return 0;
}

const char* LayoutTypeWord(uint8_t type) {
  if (type == 2) return "im";
  if (type == 1) return "ime";
  return "is";
}

int ParseSizeWord(const std::string& word, bool* max, uint64_t* size_mb) {
  *max = false;
  if (word.empty()) return 0;
  if (std::isalpha(static_cast<unsigned char>(word[0]))) {
    if (Lower(word) != "max") return 0;
    *max = true;
    return 1;
  }
  if (!std::isdigit(static_cast<unsigned char>(word[0]))) return 0;
  char* end = nullptr;
  errno = 0;
  unsigned long long size = std::strtoull(word.c_str(), &end, 0);
  if (errno == ERANGE || *end != '\0' || size == 0) return 0;
  *size_mb = size;
  return 1;
}
