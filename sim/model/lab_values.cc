#include "lab_values.h"

#include <cerrno>
#include <cstdlib>

namespace vxtsim {

uint64_t ToNum(const json& value, const std::string& what) {
  if (value.is_number_unsigned()) return value.get<uint64_t>();
  if (value.is_number_integer()) return static_cast<uint64_t>(value.get<int64_t>());
  if (value.is_boolean()) return value.get<bool>() ? 1 : 0;
  if (value.is_string()) {
    const std::string& s = value.get_ref<const std::string&>();
    if (!s.empty()) {
      char* end = nullptr;
      errno = 0;
      unsigned long long v = std::strtoull(s.c_str(), &end, 0);
      if (errno == 0 && end && *end == '\0' && s[0] != '-') return v;
    }
  }
  throw LabError(what + ": expected a number, got " + value.dump());
}

const json& Member(const json& obj, const char* key) {
  static const json kNull;
  if (!obj.is_object()) return kNull;
  auto it = obj.find(key);
  return it == obj.end() ? kNull : *it;
}

uint64_t Num(const json& obj, const char* key, uint64_t fallback) {
  const json& v = Member(obj, key);
  return v.is_null() ? fallback : ToNum(v, key);
}

bool Flag(const json& obj, const char* key, bool fallback) {
  const json& v = Member(obj, key);
  if (v.is_null()) return fallback;
  if (v.is_boolean()) return v.get<bool>();
  return ToNum(v, key) != 0;
}

std::string Text(const json& obj, const char* key, const std::string& fallback) {
  const json& v = Member(obj, key);
  if (v.is_null()) return fallback;
  if (!v.is_string()) throw LabError(std::string(key) + ": expected a string, got " + v.dump());
  return v.get<std::string>();
}

const json& List(const json& obj, const char* key) {
  static const json kEmpty = json::array();
  const json& v = Member(obj, key);
  if (v.is_null()) return kEmpty;
  if (!v.is_array()) throw LabError(std::string(key) + ": expected a list, got " + v.dump());
  return v;
}

}  // namespace vxtsim
