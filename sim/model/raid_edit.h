// Changing the RAID configuration of a controller's state: the lists the
// RAID actions add to and remove from, and the bookkeeping of a
// resynchronisation.
#pragma once

#include <cstdint>

#include "lab_values.h"

namespace vxtsim {

// ctl.raid.volumes / ctl.raid.phys_disks, made empty lists when missing.
json& VolumeList(json& ctl);
json& PhysDiskList(json& ctl);

json* VolumeEntry(json& ctl, uint8_t bus, uint8_t id);
json* PhysDiskEntry(json& ctl, uint8_t num);
// The volume that has this physical disk as a member, or null.
json* VolumeOfMember(json& ctl, uint8_t num);

// Whether a physical disk stands for the disk at this bus and target.
bool IsPhysDiskTarget(const json& ctl, uint8_t bus, uint8_t target);

// Starts a resynchronisation of the whole volume: it runs degraded until
// progress reads have walked it to the end.
void StartResync(const json& ctl, json& vol);

// Gives a mirror member being resynchronised the blocks of a member that is
// in sync. The data is copied at once; the resynchronisation that progress
// requests walk through is bookkeeping.
void CopyToMirrorMember(json& ctl, const json& vol, uint8_t num);

}  // namespace vxtsim
