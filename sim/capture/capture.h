// vxtsim capture: reads a live controller through the request layer and
// describes it as a lab.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/model.h"
#include "vxt/adapter_info.h"
#include "vxt/config_page.h"

namespace capture {

// A RAID physical disk as far as the device capture needs it.
struct PhysDiskSeat {
  uint8_t Num;
  uint8_t Target;
  uint8_t Bus;
};

// A volume as the progress capture needs it.
struct VolumeSeat {
  uint8_t Bus;
  uint8_t Id;
  bool Inactive;
  bool FlagsRead;  // StatusFlags below came from the volume's page
  uint8_t StatusFlags;
};

// One controller being captured, as the model's record of it; the model's
// own writer makes the lab of it. Reads that fail are of two sorts: a
// required one sets `failure` and the capture stops; an optional one adds a
// note, and what it would have given is left out of the lab (or marked
// absent) so that the lab still holds only what was read.
struct ControllerCapture {
  ControllerInfo* c = nullptr;
  AdapterEntry adapter{};
  bool sas = false;
  vxtsim::Controller ctl;
  std::vector<std::string> notes;
  std::string failure;

  // Filled by the page and RAID captures for those that follow.
  PageBuffer ioc2, ioc3, ioc5;
  bool has_vol_pages = false, has_vol1_pages = false, has_disk_pages = false;
  bool has_device_pages = false, has_enclosure_pages = false;
  std::vector<PhysDiskSeat> phys_disks;
  std::vector<VolumeSeat> volumes;  // in the order of ctl.raid.volumes

  void Note(const std::string& what) { notes.push_back(what); }
  bool Fail(const std::string& what) {
    failure = what;
    return false;
  }
};

// Why a request failed: its IocStatus, or the driver's error.
std::string WhyFailed(const RequestStatus& status);

// Each returns false once `failure` is set.
bool CaptureIdentity(ControllerCapture& cc);
bool CapturePages(ControllerCapture& cc);
bool CaptureRaid(ControllerCapture& cc);
bool CaptureSas(ControllerCapture& cc);
bool CaptureDisks(ControllerCapture& cc);
// Last, because a progress read moves a simulated resynchronisation on.
void CaptureProgress(ControllerCapture& cc);

// The whole capture of one controller, in the order above.
bool CaptureController(ControllerCapture& cc);

}  // namespace capture
