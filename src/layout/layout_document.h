// The layout document: the configuration a controller should have, as the
// `plan` and `apply` verbs read it and the `layout` verb writes it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Where a disk sits, as CREATE's drive words name it: an Encl:Bay pair or a
// bare target ID.
struct LayoutPlace {
  bool EnclBay = false;
  uint16_t Enclosure = 0;
  uint16_t Bay = 0;
  uint32_t Target = 0;
};

bool operator==(const LayoutPlace& a, const LayoutPlace& b);

// Appends `item` to `text`, after `separator` unless `text` is empty.
void AppendJoined(std::string* text, const char* separator, const std::string& item);

// "1:2" or "5".
std::string PlaceText(const LayoutPlace& place);

struct LayoutDisk {
  LayoutPlace Place;
  std::optional<std::string> Serial;  // pins the disk when present
  std::string Where;                  // its place in the document, for messages
};

struct LayoutVolume {
  uint8_t Type = 0;  // the volume type code: 0 IS, 1 IME, 2 IM
  std::vector<LayoutDisk> Disks;
  std::optional<uint64_t> SizeMB;  // unset: the largest size the disks allow
  bool QuickSync = false;
  std::string Where;
};

struct LayoutController {
  uint32_t Controller = 0;
  std::vector<LayoutVolume> Volumes;
  std::vector<LayoutDisk> HotSpares;
  bool Prune = false;
};

struct LayoutDocument {
  std::vector<LayoutController> Controllers;
};

inline constexpr int kLayoutMajorVersion = 1;
inline constexpr int kLayoutMinorVersion = 0;

// Reads a layout document strictly: an unknown key, a wrong type, a disk
// named twice, an unknown type word or major version is refused.  1 with
// `document` filled; 0 with `error` naming the place ("controllers[0].
// volumes[1].disks[2]: ...").
int ParseLayoutText(const std::string& text, LayoutDocument* document, std::string* error);

// The same from a file (at most 1 MiB).  0 with `error` when it cannot be
// read or is refused.
int ReadLayoutFile(const char* path, LayoutDocument* document, std::string* error);

// The entry for controller `number`, or null.
const LayoutController* FindLayoutController(const LayoutDocument& document, uint32_t number);

// The volume type word the layout writes for a type code ("im", "ime", "is").
const char* LayoutTypeWord(uint8_t type);
