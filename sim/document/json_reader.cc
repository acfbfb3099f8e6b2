#include "document/json_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace vxtsim::doc {

std::string Shown(const json& v) {
  std::string s = v.dump();
  return s.size() > 40 ? s.substr(0, 37) + "..." : s;
}

namespace {

// Optimal string alignment distance: a swapped pair of letters counts once.
size_t Distance(const std::string& a, const std::string& b) {
  std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

}  // namespace

std::string UnknownKey(const std::string& key, const std::vector<std::string>& allowed) {
  std::string nearest;
  size_t best = 3;
  for (const std::string& k : allowed) {
    size_t d = Distance(key, k);
    if (d < best && d * 2 < std::max<size_t>(key.size(), 2)) {
      best = d;
      nearest = k;
    }
  }
  std::string text = "unknown key \"" + key + "\"";
  if (!nearest.empty()) text += " (did you mean \"" + nearest + "\"?)";
  text += "; allowed:";
  for (size_t i = 0; i < allowed.size(); ++i) text += (i ? ", " : " ") + allowed[i];
  return text;
}

std::string Index(const std::string& path, size_t i) {
  return path + "[" + std::to_string(i) + "]";
}

Obj::Obj(Problems& p, const json* j, std::string path) : p_(p), j_(j), path_(std::move(path)) {
  if (j_ && !j_->is_object()) {
    p_.Add(path_, "expected an object, got " + Shown(*j_));
    j_ = nullptr;
  }
}

const json* Obj::Take(const char* key) {
  allowed_.push_back(key);
  if (!j_) return nullptr;
  auto it = j_->find(key);
  return it == j_->end() ? nullptr : &*it;
}

void Obj::Done() {
  if (!j_) return;
  for (auto it = j_->begin(); it != j_->end(); ++it) {
    bool known =
        std::any_of(allowed_.begin(), allowed_.end(), [&](const char* k) { return it.key() == k; });
    if (!known) p_.Add(path_, UnknownKey(it.key(), {allowed_.begin(), allowed_.end()}));
  }
}

bool ParseNumber(const json& v, uint64_t& out, Spelling& spelling, uint8_t& width) {
  if (v.is_number_unsigned()) {
    out = v.get<uint64_t>();
    spelling = Spelling::kNumber;
    return true;
  }
  if (v.is_number_integer()) {
    int64_t i = v.get<int64_t>();
    if (i < 0) return false;
    out = static_cast<uint64_t>(i);
    spelling = Spelling::kNumber;
    return true;
  }
  if (!v.is_string()) return false;
  const std::string& s = v.get_ref<const std::string&>();
  if (s.empty() || s[0] == '-' || s[0] == '+' || s[0] == ' ') return false;
  char* end = nullptr;
  errno = 0;
  unsigned long long n = std::strtoull(s.c_str(), &end, 0);
  if (errno != 0 || !end || *end != '\0') return false;
  out = n;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    bool upper = std::any_of(s.begin() + 2, s.end(), [](char c) { return c >= 'A' && c <= 'F'; });
    spelling = upper ? Spelling::kHexUpper : Spelling::kHexLower;
    width = static_cast<uint8_t>(std::min<size_t>(s.size() - 2, 255));
  } else if (s.size() > 1 && s[0] == '0') {
    spelling = Spelling::kOctal;
    width = static_cast<uint8_t>(std::min<size_t>(s.size() - 1, 255));
  } else {
    spelling = Spelling::kDecimal;
  }
  return true;
}

void ReportNotANumber(Problems& p, const std::string& place, const json& v, uint64_t max) {
  bool negative = (v.is_number_integer() && v.get<int64_t>() < 0) ||
                  (v.is_string() && !v.get_ref<const std::string&>().empty() &&
                   v.get_ref<const std::string&>()[0] == '-');
  p.Add(place, negative ? Shown(v) + " is out of range (0 to " + std::to_string(max) + ")"
                        : "expected a number, got " + Shown(v));
}

void Flag(Obj& o, const char* key, Given<bool>& out) {
  const json* v = o.Take(key);
  if (!v) return;
  if (v->is_boolean()) {
    out.value = v->get<bool>();
    out.given = true;
    return;
  }
  uint64_t n = 0;
  Spelling s;
  uint8_t w;
  if (!ParseNumber(*v, n, s, w)) {
    o.problems().Add(o.PathOf(key), "expected true or false, got " + Shown(*v));
    return;
  }
  out.value = n != 0;
  out.given = true;
  out.spelling = Spelling::kDecimal;  // written back as a number
}

void Text(Obj& o, const char* key, Given<std::string>& out) {
  const json* v = o.Take(key);
  if (!v) return;
  if (!v->is_string()) {
    o.problems().Add(o.PathOf(key), "expected a string, got " + Shown(*v));
    return;
  }
  out.value = v->get<std::string>();
  out.given = true;
}

const json* ListAt(Obj& o, const char* key, bool& given) {
  const json* v = o.Take(key);
  if (!v) return nullptr;
  if (!v->is_array()) {
    o.problems().Add(o.PathOf(key), "expected a list, got " + Shown(*v));
    return nullptr;
  }
  given = true;
  return v;
}

}  // namespace vxtsim::doc
