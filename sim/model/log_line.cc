#include "log_line.h"

#include <algorithm>
#include <cstring>

namespace vxtsim {

void LogLine::Set(const char* key, std::string value) {
  for (Entry& e : entries_) {
    if (std::strcmp(e.key, key) == 0) {
      e.value = std::move(value);
      return;
    }
  }
  entries_.push_back({key, std::move(value)});
}

void LogLine::Number(const char* key, int64_t value) { Set(key, std::to_string(value)); }

void LogLine::Text(const char* key, const std::string& value) {
  static const char kDigits[] = "0123456789abcdef";
  std::string quoted;
  quoted.reserve(value.size() + 2);
  quoted.push_back('"');
  for (char c : value) {
    auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted.push_back('\\');
      quoted.push_back(c);
    } else if (u < 0x20) {
      quoted += "\\u00";
      quoted.push_back(kDigits[u >> 4]);
      quoted.push_back(kDigits[u & 0xF]);
    } else {
      quoted.push_back(c);
    }
  }
  quoted.push_back('"');
  Set(key, std::move(quoted));
}

bool LogLine::Has(const char* key) const {
  return std::any_of(entries_.begin(), entries_.end(),
                     [key](const Entry& e) { return std::strcmp(e.key, key) == 0; });
}

std::string LogLine::Json() const {
  std::vector<const Entry*> sorted;
  sorted.reserve(entries_.size());
  size_t size = 2;
  for (const Entry& e : entries_) {
    sorted.push_back(&e);
    size += std::strlen(e.key) + e.value.size() + 4;
  }
  std::sort(sorted.begin(), sorted.end(),
            [](const Entry* a, const Entry* b) { return std::strcmp(a->key, b->key) < 0; });
  std::string text;
  text.reserve(size);
  text.push_back('{');
  for (const Entry* e : sorted) {
    if (text.size() > 1) text.push_back(',');
    text.push_back('"');
    text += e->key;
    text += "\":";
    text += e->value;
  }
  text.push_back('}');
  return text;
}

}  // namespace vxtsim
