// The drive scan of AUTO: which drives of a controller may become the
// members of a new volume.
#pragma once

#include "create/candidates.h"
#include "vxt/vxt.h"

// Kinds of drive on a SAS controller.
inline constexpr int kDriveClassSata = 1;
inline constexpr int kDriveClassSas = 2;
inline constexpr int kDriveClassSasSsd = 3;
inline constexpr int kDriveClassSataSsd = 4;

// Drives accepted beyond the capacity of the first one by at most this much
// (except with auto1).
inline constexpr uint32_t kCapacityBandBlocks = 0x200000;

// Scans every target ID below the port's device limit and stores, in
// ascending ID order, the drives that could be members: free disks of
// 512-byte blocks, of the first accepted drive's kind and (unless `is_auto1`)
// of about its capacity, into `candidates` (reset by the caller).  At most the
// candidate list's room is stored.  Returns the number accepted.
int SelectAutoDrives(ControllerInfo* controller, bool is_auto1, CandidateList* candidates);

// The kind of a drive from its SasDevicePg0 and the SSD test.  1 with
// `drive_class` set; 0 when an INQUIRY of the test failed.
int ClassifyDrive(ControllerInfo* controller, ConstBytes sas_device_pg0, int* drive_class);
