// The enclosure section: every enclosure a SAS controller knows, in the
// order the firmware hands them out.
#include <bitset>
#include <memory>

#include "report/emit_line.h"
#include "report/sections.h"
#include "vxt/pages.h"
#include "vxt/vxt_util.h"

namespace {

void EmitEnclosure(ConstBytes enclosure, FILE* log_file) {
  EmitLine(FormatLine("Enclosure#                                : %d\n"
                      "  Logical ID                              : %08x:%08x\n"
                      "  Numslots                                : %d\n"
                      "  StartSlot                               : %d\n"
                      "  Start TargetID                          : %d\n"
                      "  Start Bus                               : %d\n",
                      SasEnclosurePg0EnclosureHandle(enclosure),
                      SasEnclosurePg0LogicalIDLow(enclosure),
                      SasEnclosurePg0LogicalIDHigh(enclosure), SasEnclosurePg0NumSlots(enclosure),
                      SasEnclosurePg0StartSlot(enclosure), SasEnclosurePg0StartTargetID(enclosure),
                      SasEnclosurePg0StartBus(enclosure)),
           log_file);
}

}  // namespace

int DisplayEnclosureSection(ControllerInfo* c, FILE* log_file) {
  if (c->BusType == kBusTypeScsi) return 1;
  EmitSectionHeader("Enclosure information", log_file);
  // A firmware that hands out a handle it gave before would walk us in a
  // circle; every enclosure has been printed by then, so the list ends there.
  auto seen = std::make_unique<std::bitset<0x10000>>();
  uint16_t handle = kStartHandle;
  int count = 0;
  for (;;) {
    PageBuffer enclosure;
    int result = VxtConfigReadExtendedPage(c, kPageActionReadCurrent, kExtPageTypeSasEnclosure, 0,
                                           SasAddressNextAfter(handle), &enclosure);
    if (result != 1) {
      if (ReplyIocStatus(LastReply(*c)) != kIocStatusInvalidPage) return result;
      if (count == 0) EmitLine("\nEnclosure Not Present\n", log_file);
      return 1;
    }
    handle = SasEnclosurePg0EnclosureHandle(enclosure);
    if (seen->test(handle)) return 1;
    seen->set(handle);
    EmitEnclosure(enclosure, log_file);
    ++count;
  }
}
