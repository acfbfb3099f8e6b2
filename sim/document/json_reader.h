// A strict reader of lab and state documents: every object reports the keys
// nobody took, every number is checked against its field's range, and every
// problem names its place in the document.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "document/state_file.h"
#include "model/given.h"

namespace vxtsim::doc {

struct Problems {
  std::vector<std::string> lines;
  std::string where;  // "; in controller N" while reading a controller

  void Add(const std::string& place, const std::string& problem) {
    lines.push_back(place + ": " + problem + where);
  }
};

// A value as a message shows it: its JSON text, cut short.
std::string Shown(const json& v);

// "unknown key", the nearest allowed key when one is close, and the list.
std::string UnknownKey(const std::string& key, const std::vector<std::string>& allowed);

// "a[i]"
std::string Index(const std::string& path, size_t i);

// One object of the document: its keys are taken one by one, and Done()
// reports the keys nobody took.
class Obj {
 public:
  Obj(Problems& p, const json* j, std::string path);

  bool present() const { return j_ != nullptr; }
  Problems& problems() { return p_; }
  const std::string& path() const { return path_; }
  std::string PathOf(const std::string& key) const {
    return path_.empty() ? key : path_ + "." + key;
  }

  const json* Take(const char* key);
  void Done();

 private:
  Problems& p_;
  const json* j_;
  std::string path_;
  std::vector<const char*> allowed_;
};

// A number as a JSON number or a string in any C base.
bool ParseNumber(const json& v, uint64_t& out, Spelling& spelling, uint8_t& width);

inline std::string PlaceName(const std::string& place) { return place; }
template <typename F>
std::string PlaceName(const F& place) {
  return place();
}

void ReportNotANumber(Problems& p, const std::string& place, const json& v, uint64_t max);

// `place` gives the place's name, built only for a message.
template <typename Place>
bool NumberAt(Problems& p, const Place& place, const json& v, uint64_t max, uint64_t& out,
              Spelling* spelling = nullptr, uint8_t* width = nullptr) {
  Spelling s = Spelling::kNumber;
  uint8_t w = 0;
  if (!ParseNumber(v, out, s, w)) {
    ReportNotANumber(p, PlaceName(place), v, max);
    return false;
  }
  if (out > max) {
    p.Add(PlaceName(place), Shown(v) + " is out of range (0 to " + std::to_string(max) + ")");
    return false;
  }
  if (spelling) *spelling = s;
  if (width) *width = w;
  return true;
}

// Stores a number with the way it was written, so that it is written back
// alike. The first reports what is wrong at `place`; the second leaves that
// to a caller that also takes names there.
template <typename T, typename Place>
bool GivenAt(Problems& p, const Place& place, const json& v, uint64_t max, Given<T>& out) {
  uint64_t n = 0;
  Spelling s = Spelling::kNumber;
  uint8_t w = 0;
  if (!NumberAt(p, place, v, max, n, &s, &w)) return false;
  out = static_cast<T>(n);
  out.spelling = s;
  out.width = w;
  return true;
}

template <typename T>
bool ParseGiven(const json& v, uint64_t max, Given<T>& out) {
  uint64_t n = 0;
  Spelling s = Spelling::kNumber;
  uint8_t w = 0;
  if (!ParseNumber(v, n, s, w) || n > max) return false;
  out = static_cast<T>(n);
  out.spelling = s;
  out.width = w;
  return true;
}

template <typename T>
void Num(Obj& o, const char* key, Given<T>& out, uint64_t max = std::numeric_limits<T>::max()) {
  const json* v = o.Take(key);
  if (!v) return;
  GivenAt(
      o.problems(), [&] { return o.PathOf(key); }, *v, max, out);
}

void Flag(Obj& o, const char* key, Given<bool>& out);
void Text(Obj& o, const char* key, Given<std::string>& out);

// One of a few names.
template <typename E, typename Table>
void Choice(Obj& o, const char* key, Given<E>& out, const Table& names) {
  const json* v = o.Take(key);
  if (!v) return;
  if (v->is_string()) {
    for (auto& [name, value] : names) {
      if (v->get<std::string>() == name) {
        out = value;
        return;
      }
    }
  }
  std::string list;
  for (auto& [name, value] : names)
    list += std::string(list.empty() ? "" : " or ") + "\"" + name + "\"";
  o.problems().Add(o.PathOf(key), "expected " + list + ", got " + Shown(*v));
}

// The list under `key`, or null (reported when it is not a list).
const json* ListAt(Obj& o, const char* key, bool& given);

// Reads each object of the list under `key` into a new item.
template <typename Item, typename Read>
void ReadList(Obj& parent, const char* key, bool& given, std::vector<Item>& items, Read read) {
  const json* list = ListAt(parent, key, given);
  if (!list) return;
  for (size_t i = 0; i < list->size(); ++i) {
    Obj o(parent.problems(), &(*list)[i], Index(parent.PathOf(key), i));
    items.emplace_back();
    if (o.present()) read(o, i, items.back());
    o.Done();
  }
}

}  // namespace vxtsim::doc
