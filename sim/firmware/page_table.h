// The directory of configuration pages the firmware model serves: which
// pages exist, their header values, the fields a lab may set by name, and the
// routines that derive the pages describing the RAID configuration, devices
// and enclosures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/bytes.h"

namespace vxtsim {

struct Controller;

constexpr uint8_t kExtendedPageType = 0x0F;

struct FieldDef {
  const char* name;
  uint16_t offset;
  uint8_t width;  // bytes: 1, 2, 4 or 8
  uint64_t fallback;
};

enum class PageScope { kAny, kSas, kScsi };

// What a page builder needs: the controller, and the instance address.
struct PageRequest {
  const Controller& controller;
  uint32_t address;
};

// Fills the instance-specific part of a page whose header and stored fields
// are already in place; returns an IocStatus (non-zero when the address names
// no instance).
using PageBuilder = uint16_t (*)(const PageRequest&, Bytes& page);
// Length in 32-bit words for pages whose size follows the configuration.
using PageLength = uint16_t (*)(const Controller& controller);

struct PageDef {
  const char* name;
  uint8_t type;  // kExtendedPageType for extended pages
  uint8_t number;
  uint8_t ext_type;  // extended pages only
  uint8_t version;
  uint16_t length_words;
  bool writable;
  PageScope scope;
  std::vector<FieldDef> fields;
  PageBuilder builder = nullptr;
  PageLength length = nullptr;

  bool extended() const { return type == kExtendedPageType; }
};

// Positions in the directory, which is also how a controller keeps its pages.
enum PageIndex : uint8_t {
  kIoUnitPg1,
  kIoUnitPg2,
  kIocPg1,
  kIocPg2,
  kIocPg3,
  kIocPg5,
  kIocPg6,
  kBiosPg2,
  kScsiPortPg2,
  kRaidVolPg0,
  kRaidVolPg1,
  kManufacturingPg4,
  kRaidPhysDiskPg0,
  kSasDevicePg0,
  kSasEnclosurePg0,
};

// Field positions within their page's field list.
enum IoUnitPg1Field : uint8_t { kIoUnitFlags };
enum IocPg2Field : uint8_t { kCapabilityFlags, kMaxVolumes, kMaxPhysDisks };
enum IocPg6Field : uint8_t {
  kMaxDrivesIS,
  kMaxDrivesIM,
  kMaxDrivesIME,
  kMinDrivesIS,
  kMinDrivesIM,
  kMinDrivesIME,
  kMaxHotSpares,
  kMetadataSize,
};
enum ManufacturingPg4Field : uint8_t {
  kIrFlags,
  kIsVolumeSettings,
  kImeVolumeSettings,
  kImVolumeSettings,
};

const std::vector<PageDef>& PageDirectory();
const PageDef& PageAt(PageIndex index);
const PageDef* FindPage(uint8_t type, uint8_t number, uint8_t ext_type);
const PageDef* FindPageByName(const std::string& name);
inline PageIndex IndexOf(const PageDef& def) {
  return static_cast<PageIndex>(&def - PageDirectory().data());
}

}  // namespace vxtsim
