// The stored part of a controller's configuration pages: the settings a lab
// gives by field name, raw byte patches, header overrides, and the copy in
// non-volatile memory where it differs from the current one.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/bytes.h"
#include "model/given.h"

namespace vxtsim {

// Raw bytes laid over a built page or inquiry image at an offset. The key and
// text are kept as written so that a state written back reads as the lab.
struct Patch {
  std::string key;
  uint32_t offset = 0;
  std::string text;
  Bytes data;
};

struct Patches {
  bool given = false;
  std::vector<Patch> list;  // applied in the order of their keys as text
};

constexpr size_t kMaxPageFields = 8;

// One copy of a page's stored values, indexed like the directory's fields.
struct PageValues {
  std::array<Given<uint64_t>, kMaxPageFields> fields;
  Patches bytes;
};

struct PageState {
  bool given = false;  // the lab has an object for the page
  Given<bool> absent;
  Given<uint8_t> version;  // header overrides
  Given<uint16_t> length;  // in words
  PageValues current;
  bool has_nvram = false;
  PageValues nvram;  // fields not given here are the current copy's
};

}  // namespace vxtsim
