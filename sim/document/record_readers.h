// The readers of the lab's records, shared by the files that read one part
// of a controller each; only the document readers include this.
#pragma once

#include <limits>
#include <map>
#include <optional>

#include "document/json_reader.h"
#include "document/record_fields.h"
#include "model/model.h"

namespace vxtsim::doc {

// Reads the keys a record lists (record_fields.h) out of one object.
class FieldReader {
 public:
  explicit FieldReader(Obj& o) : o_(o) {}

  template <typename T>
  void Field(const char* key, Given<T>& g, uint64_t max = std::numeric_limits<T>::max()) {
    Num(o_, key, g, max);
  }
  void Field(const char* key, Given<bool>& g) { Flag(o_, key, g); }
  void Field(const char* key, Given<std::string>& g) { Text(o_, key, g); }

  template <typename E, size_t N>
  void OneOf(const char* key, Given<E>& g, const Name<E> (&names)[N]) {
    Choice(o_, key, g, names);
  }

  template <typename Fields>
  void Object(const char* key, bool& given, Fields fields) {
    Obj sub(o_.problems(), o_.Take(key), o_.PathOf(key));
    given = sub.present();
    FieldReader reader(sub);
    fields(reader);
    sub.Done();
  }

 private:
  Obj& o_;
};

template <typename Record, typename Fields>
void ReadFields(Obj& o, Record& r, Fields fields) {
  FieldReader reader(o);
  fields(r, reader);
}

// {"offset": "hex bytes"} and {"lba": "hex bytes"}.
void ReadPatches(Obj& o, const char* key, Patches& out);
void ReadBlocks(Obj& o, BlockStore& out);

// One part of a controller each, in the order the controller is read.
void ReadFacts(Obj& ctl, Controller& c);
void ReadPages(Obj& ctl, Controller& c);
void ReadDevice(Obj& o, const Controller& c, size_t index, Device& d);
void ReadEnclosure(Obj& o, size_t index, Enclosure& e);
void ReadWalk(Obj& ctl, const char* key, Walk& walk);
void ReadRaid(Obj& ctl, Controller& c);

// What no single key shows: repeated handles, targets, numbers and ids, and
// members naming no physical disk.
void CheckController(Problems& p, const std::string& path, const Controller& c);
std::string Named(const char* what, uint32_t n);

// Reports items whose key (when they have one) an earlier item has.
template <typename Item, typename Key, typename Name>
void Unique(Problems& p, const std::string& path, const std::vector<Item>& items, Key key,
            Name name) {
  std::map<uint32_t, size_t> seen;
  for (size_t i = 0; i < items.size(); ++i) {
    std::optional<uint32_t> k = key(items[i]);
    if (!k) continue;
    auto [it, added] = seen.emplace(*k, i);
    if (!added) p.Add(Index(path, i), name(*k) + " repeats " + Index(path, it->second) + "'s");
  }
}

}  // namespace vxtsim::doc
