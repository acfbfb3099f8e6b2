// The volume section: every active IR volume with its state, RAID level,
// size and member disks.
#include "report/emit_line.h"
#include "report/report_words.h"
#include "report/sections.h"
#include "vxt/config_page.h"
#include "vxt/page_readers.h"
#include "vxt/pages.h"

namespace {

// Members whose page cannot be read are left out of the list.
void EmitMemberLine(ControllerInfo* c, ConstBytes volume, FILE* log_file) {
  std::string line = "  Physical hard disks (Target ID)         :";
  for (int k = 0; k < RaidVolPg0MemberCount(volume); ++k) {
    PageBuffer disk;
    if (ReadRaidPhysDiskPg0(c, RaidVolPg0MemberAt(volume, k).PhysDiskNum, &disk)) {
      line += FormatLine(" %d", RaidPhysDiskPg0PhysDiskID(disk));
    }
  }
  line += '\n';
  EmitLine(line, log_file);
}

int EmitVolume(ControllerInfo* c, int number, const IocPg2Volume& entry, FILE* log_file) {
  EmitLine(FormatLine("IR volume %d\n", number), log_file);
  PageBuffer volume;
  int result = ReadRaidVolPg0(c, entry.VolumeID, &volume);
  if (result != 1) return result;
  EmitLine(
      FormatLine("  Volume ID                               : %d\n", RaidVolPg0VolumeID(volume)),
      log_file);
  bool inactive = (RaidVolPg0VolumeStatusFlags(volume) & kVolumeStatusInactive) ||
                  (entry.VolumeFlags & kVolumeFlagInactive);
  std::string status = "  Status of volume                        : ";
  if (inactive) status += "Inactive, ";
  status += VolumeStateText(RaidVolPg0VolumeState(volume), RaidVolPg0VolumeStatusFlags(volume));
  EmitLine(status, log_file);
  EmitLine(
      std::string("  RAID level                              : ") + RaidLevelText(entry.VolumeType),
      log_file);
  EmitLine(FormatLine("  Size (in MB)                            : %llu\n",
                      static_cast<unsigned long long>(RaidVolPg0Blocks(volume) >> 11)),
           log_file);
  if (!inactive && RaidVolPg0NumPhysDisks(volume) != 0) EmitMemberLine(c, volume, log_file);
  return 1;
}

}  // namespace

int DisplayVolumeSection(ControllerInfo* c, const DisplayOptions& options) {
  FILE* const log_file = options.LogFile;
  EmitSectionHeader("IR Volume information", log_file);
  PageBuffer ioc2;
  int result = ReadIocPg2(c, &ioc2);
  if (result != 1) return result;
  PageBuffer ioc3;
  result = ReadIocPg3(c, &ioc3);
  if (result != 1) return result;
  for (int i = 0; i < IocPg2VolumeCount(ioc2); ++i) {
    result = EmitVolume(c, i + 1, IocPg2VolumeAt(ioc2, i), log_file);
    if (result != 1) return result;
  }
  return 1;
}
