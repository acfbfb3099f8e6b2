// What is attached to a controller: disks and expanders with the identity
// and data a disk answers with, and SAS enclosures with their slot status.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "model/bytes.h"
#include "model/given.h"
#include "model/page_state.h"

namespace vxtsim {

enum class DeviceKind : uint8_t { kDisk, kExpander };
enum class Protocol : uint8_t { kSas, kSata };

// Blocks written to a disk or volume, by LBA; blocks never written (or all
// zeros) read as zeros.
struct StoredBlock {
  std::string text;  // hex as stored in the state
  Bytes data;
};
struct BlockStore {
  bool given = false;
  std::map<uint64_t, StoredBlock> blocks;
};

constexpr uint32_t kDefaultFormatMs = 100;

// The product data pages a disk lists when the lab gives no list: the list
// itself, the serial number and the block device characteristics, and the
// KVR part page for a disk that has a KVR part number.
inline std::vector<uint8_t> DefaultVpdPages(bool kvr_part) {
  std::vector<uint8_t> pages = {0x00, 0x80, 0xB1};
  if (kvr_part) pages.push_back(0xC4);
  return pages;
}

struct Device {
  Given<uint16_t> handle;  // list position + 9
  Given<DeviceKind> kind{DeviceKind::kDisk};
  Given<uint8_t> target;  // not given: no SCSI address
  Given<uint8_t> bus;
  Given<Protocol> protocol{Protocol::kSas};
  Given<uint16_t> enclosure, slot;
  Given<uint16_t> parent;       // 0: the controller
  Given<uint8_t> phy;           // list position
  Given<bool> direct;           // true when no parent is given
  Given<uint64_t> sas_address;  // derived from the IOC number and handle
  Given<uint32_t> device_info;  // derived from kind, protocol and direct
  Given<std::string> vendor, product, revision, serial;
  Given<std::string> kvr_fru, kvr_part, ata_model;
  Given<uint64_t> blocks;
  Given<uint32_t> block_size{512};
  Given<uint8_t> type;  // peripheral device type
  Given<bool> removable, ssd, not_ready;
  Given<uint16_t> rotation_rate{7200};
  Given<uint32_t> format_ms{kDefaultFormatMs};  // how long FORMAT UNIT takes
  bool vpd_pages_given = false;
  std::vector<uint8_t> vpd_pages;  // the pages INQUIRY with EVPD answers
  Patches inquiry_bytes, page_bytes;
  BlockStore block_data;

  bool HasTarget() const { return target.given; }
  bool IsDisk() const { return kind.value == DeviceKind::kDisk; }
};

struct Enclosure {
  Given<uint16_t> handle;  // list position + 1
  Given<uint64_t> logical_id;
  Given<uint16_t> num_slots{8};
  Given<uint16_t> start_slot;
  Given<uint8_t> start_target, start_bus;
  Patches page_bytes;
  // The status the processor returns carries the identify bit as last
  // written; false: it never shows there, though the LED lights.
  Given<bool> reports_identify{true};
  bool slot_status_given = false;
  std::map<uint16_t, Given<uint32_t>> slot_status;  // slots never written read 1
};

// A bent next-after-handle walk: handle -> the handle returned next.
struct Walk {
  bool given = false;
  std::map<uint16_t, Given<uint16_t>> next;
};

}  // namespace vxtsim
