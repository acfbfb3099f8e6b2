// Reading the RAID actions, block transfers and page writes a run sent out of
// its request log.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/volkit_run.h"

namespace volkit_test {

using ByteVector = std::vector<uint8_t>;

// The bytes of a hex string as the log writes them.
ByteVector HexBytes(const std::string& hex);

// The frame of a logged request, with the zero bytes the log leaves off.
ByteVector FrameBytes(const json& line, size_t n);

struct LoggedAction {
  int Action;
  int VolumeID;
  int VolumeBus;
  int PhysDiskNum;
  uint32_t DataWord;
  ByteVector DataOut;
  bool Ok;  // IocStatus clear and ActionStatus 0 or 3
};

// Every RAID action of the run, in order.
std::vector<LoggedAction> RaidActions(const VolkitRun& run);

struct LoggedTransfer {
  int Function;  // 0x00 plain SCSI I/O, 0x16 RAID-member pass-through
  int Target;
  ByteVector Cdb;  // as long as the frame says
  ByteVector DataOut;
};

// Every SCSI READ or WRITE (6 or 10) of the run, in order.
std::vector<LoggedTransfer> BlockTransfers(const VolkitRun& run);

// The data of every configuration page write of `page_type`/`page_number`.
std::vector<ByteVector> PageWrites(const VolkitRun& run, int page_type, int page_number);

// The state of physical disk `num` of controller 0 after the run; -1 when
// the disk is gone.
int PhysDiskState(const VolkitRun& run, int num);

}  // namespace volkit_test
