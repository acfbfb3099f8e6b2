// The pure decoders of firmware bytes: page fields and lists of every layout,
// the SCSI reply judgement, and the words and lines reports make of them.
// Input: one firmware buffer, read as each of them in turn.
#include <cstddef>
#include <cstdint>
#include <string>

#include "raid/device_words.h"
#include "report/report_words.h"
#include "vxt/pages.h"
#include "vxt/raid_action.h"
#include "vxt/scsi_classify.h"
#include "vxt/vxt.h"

namespace {

// Keeps results alive so that nothing is optimised away.
volatile size_t Sink;

void Take(uint64_t v) { Sink = Sink + static_cast<size_t>(v); }
void Take(const std::string& s) { Sink = Sink + s.size(); }
void Take(const char* s) { Sink = Sink + (s ? s[0] : 0); }

void WalkLists(ConstBytes p) {
  for (int i = 0; i < IocPg2VolumeCount(p); ++i) Take(IocPg2VolumeAt(p, i).VolumeID);
  for (int i = 0; i < IocPg3PhysDiskCount(p); ++i) Take(IocPg3PhysDiskAt(p, i).PhysDiskNum);
  for (int i = 0; i < IocPg5HotSpareCount(p); ++i) Take(IocPg5HotSparePhysDiskNum(p, i));
  for (int i = 0; i < RaidVolPg0MemberCount(p); ++i) Take(RaidVolPg0MemberAt(p, i).PhysDiskNum);
  Take(RaidVolPg0Blocks(p));
  Take(SasDevicePg0DeviceInfo(p) + SasDevicePg0DevHandle(p) + SasDevicePg0ParentDevHandle(p));
  Take(SasEnclosurePg0NumSlots(p) + SasEnclosurePg0StartSlot(p) + SasEnclosurePg0LogicalIDHigh(p));
  Take(RaidPhysDiskPg0MaxLBA(p) + RaidPhysDiskPg0SmartCount(p));
}

void DecodeWords(ConstBytes p) {
  Take(DeviceTypeText(GetU8(p, 0), GetU8(p, 1)));
  Take(IsHardDisk(GetU8(p, 0), GetU8(p, 1)));
  Take(MemberStateWord(p));
  Take(NonMemberStateWord(GetU8(p, 0), static_cast<int>(GetU8(p, 2) % 5) - 3, GetU32(p, 4)));
  if (GetU32(p, 4) != 0) Take(DeviceSizeLine(GetU32(p, 8), GetU32(p, 4)));
  Take(BiosVersionLine(GetU32(p, 12)));
  Take(VolumeStateText(GetU8(p, 16), GetU8(p, 17)));
  Take(RaidLevelText(GetU8(p, 18)));
  Take(StatusStateWord(GetU8(p, 19)));
  if (GetU64(p, 24) != 0) Take(ProgressLines(GetU64(p, 24), GetU64(p, 32)));
  KvrAtaStrings strings;
  if (DecodeKvrIdentify(p, &strings)) Take(strings.Model + strings.FruCru + strings.PartNumber);
  Take(HasKvrVendor(p));
}

void ClassifyReplies(ConstBytes p) {
  // The reply is the first 128 bytes at most, the sense what follows.
  size_t split = p.size() < kReplyBufferBytes ? p.size() : kReplyBufferBytes;
  for (int command_class : {kScsiClassFormat, kScsiClassOther}) {
    int reply_class = ClassifyScsiReply(command_class, p.first(split), p.subspan(split));
    int shifted = reply_class + 4;
    Take(static_cast<uint64_t>(shifted));
  }
  Take(IocStatusOk(p) + RaidReplyActionStatus(p) + RaidReplyBlocksRemaining(p));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ConstBytes bytes(data, size);
  WalkLists(bytes);
  DecodeWords(bytes);
  ClassifyReplies(bytes);
  return 0;
}
