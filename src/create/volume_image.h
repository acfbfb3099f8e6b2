// The RaidVolPg0 image a volume is created from, and the create-volume
// request shared by the mirror and the striped builders.
#pragma once

#include <cstdint>

#include "create/candidates.h"
#include "vxt/config_page.h"
#include "vxt/vxt.h"

struct VolumeLayout {
  uint8_t VolumeType;
  uint8_t VolumeID;
  uint8_t HotSparePool;
  uint64_t MaxLba;
  int NumMembers;
  const uint8_t* PhysDiskMaps;
  const uint8_t* PhysDiskNums;
  uint32_t ActionDataWord;
};

// The image of PageLength x 4 bytes, or an empty buffer when the header the
// firmware gave is too short to hold every member.  MaxLBAHigh is filled only
// when `with_lba_high`.
PageBuffer BuildVolumeImage(const PageHeader& header, uint8_t ioc_number,
                            const VolumeLayout& layout, bool with_lba_high);

// Builds the image and sends the create-volume action.  1 when the volume
// exists.  On any failure the physical disks named in the layout, which the
// caller made for this volume, are deleted again and 0 comes back.
int SubmitVolume(ControllerInfo* controller, const VolumeLayout& layout);

// 1 when every one of the `count` first candidates passed its checks; else 0
// after saying so.
int CandidatesUsable(const CandidateList& candidates, int count);
