// Drives the firmware model through the driver's ioctl records in-process,
// with real buffers, as the interposer would.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/state_file.h"
#include "model/bytes.h"

namespace vxtsim_test {

using vxtsim::Bytes;
using vxtsim::json;

struct Exchange {
  int result = 0;
  int err = 0;
  Bytes reply;  // the whole 128-byte reply buffer, 0xFF where nothing was written
  Bytes data;   // the whole data-in buffer
  json log;
  uint16_t status() const { return vxtsim::Get16(reply, 14); }
  uint16_t action_status() const { return vxtsim::Get16(reply, 12); }
};

struct PassThroughArgs {
  PassThroughArgs(uint32_t ctl, Bytes f, size_t in = 0, Bytes out = {})
      : controller(ctl), frame(std::move(f)), data_in(in), data_out(std::move(out)) {}

  uint32_t controller = 0;
  Bytes frame;
  size_t data_in = 0;
  Bytes data_out;
  uint32_t sge_words = 7;
  int32_t max_reply = 128;
};

class Firmware {
 public:
  explicit Firmware(json state) : state_(std::move(state)) {}

  Exchange Send(const PassThroughArgs& args);
  Exchange AdapterInfo(uint32_t controller);
  Exchange Reset(uint32_t controller);

  // A configuration request frame for an ordinary or extended page.
  static Bytes ConfigFrame(uint8_t action, uint8_t type, uint8_t number, uint32_t address = 0,
                           uint8_t ext_type = 0);
  // Header read, then the data phase with the header as returned.
  Exchange ReadPage(uint32_t controller, uint8_t action, uint8_t type, uint8_t number,
                    uint32_t address = 0, uint8_t ext_type = 0);
  Exchange WritePage(uint32_t controller, uint8_t action, const Bytes& page);
  // A zeroed page image with the header the firmware gives for it, as a
  // host builds the data of a RAID action.
  Bytes BlankPage(uint32_t controller, uint8_t type, uint8_t number);
  Exchange RaidAction(uint32_t controller, uint8_t action, uint8_t volume_id, uint8_t volume_bus,
                      uint8_t phys_disk_num, uint32_t data_word, const Bytes& data = {});

  json& state() { return state_; }

 private:
  json state_;
};

}  // namespace vxtsim_test
