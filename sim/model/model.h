// The whole simulated world of one state: the control node, the controllers
// with their firmware state, and the fault rules. Read from a lab or state
// document once (state_file.h) and written back after a request that changed
// it; the firmware model works on these structs alone.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/given.h"
#include "model/page_state.h"
#include "model/raid_state.h"
#include "model/topology_state.h"

namespace vxtsim {

constexpr size_t kPageCount = 15;  // entries of the page directory

struct NodeState {
  bool given = false;
  Given<bool> exists{true}, creatable{true}, driver_loaded{true};
  Given<uint32_t> mode, major, minor;  // written by mknod
};

struct Pci {
  bool given = false;
  Given<uint16_t> device_id{0x54}, subsystem_vendor_id{0x1000}, subsystem_device_id{0x3020};
  Given<uint32_t> bus{2}, device, function;  // masked into the location word
  Given<uint32_t> segment;
};

struct IocFacts {
  bool given = false;
  Given<uint8_t> ioc_number;  // the controller number
  Given<uint32_t> firmware_version{0x011B0200};
  std::string firmware_version_text;    // "1.27.2.0" as the lab wrote it
  Given<uint16_t> concurrent_commands;  // 511 SAS, 222 SCSI
  Given<uint8_t> bus_count{1};
  Given<uint16_t> request_frame_words{32};
  Given<uint16_t> msg_version{0x0105};
};

struct PortFacts {
  bool given = false;
  Given<uint16_t> device_limit;  // 64 SAS, 16 SCSI
  Given<uint16_t> initiator_id;  // device_limit on SAS, 7 on SCSI
};

struct Runtime {
  bool given = false;
  Given<bool> ir_disabled;  // not given: the IR switch as the pages have it
  Given<uint64_t> resets, volumes_made;
};

enum class ControllerKind : uint8_t { kFromPci, kSas, kScsi };

struct Controller {
  Given<uint8_t> number;
  ControllerKind kind = ControllerKind::kFromPci;
  bool sas = true;  // resolved from kind and the PCI device ID
  Pci pci;
  IocFacts ioc_facts;
  PortFacts port_facts;
  bool pages_given = false;
  std::array<PageState, kPageCount> pages;  // by directory index
  bool devices_given = false, enclosures_given = false;
  std::vector<Device> devices;
  std::vector<Enclosure> enclosures;
  Walk device_walk, enclosure_walk;
  Raid raid;
  Runtime runtime;

  uint8_t IocNumber() const { return ioc_facts.ioc_number; }
};

enum class RequestKind : uint8_t { kAdapterInfo, kPassThrough, kReset };

// A rule's match keys; keys not given match anything.
struct FaultMatch {
  bool given = false;
  Given<RequestKind> request;
  Given<uint8_t> page;  // directory index
  Given<uint32_t> controller, function, action, page_type, page_number, ext_page_type, address;
  Given<uint32_t> raid_action, scsi_opcode, target, vpd_page;
};

struct FaultEffect {
  bool given = false;
  Given<int> err;  // errno
  std::string err_name;
  Given<bool> no_reply, not_ready, unit_attention;
  Given<uint16_t> ioc_status, action_status;
  Given<uint8_t> scsi_status, scsi_state, sense_key, asc, ascq;
  Given<uint32_t> response_info, short_data;
  Given<uint8_t> fail_phys_disk;  // the physical disk fails, then the request is served
};

struct FaultRule {
  FaultMatch match;
  FaultEffect effect;
  Given<uint64_t> first, nth, hits;
};

struct Model {
  NodeState node;
  bool controllers_given = false, faults_given = false;
  std::vector<Controller> controllers;
  std::vector<FaultRule> faults;
  // What made the state: its format and the digest of the lab.
  bool meta_given = false;
  Given<uint64_t> format;
  Given<std::string> lab_digest;

  Controller* FindController(uint32_t number);
  const Controller* FindController(uint32_t number) const;
};

}  // namespace vxtsim
