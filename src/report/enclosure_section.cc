// The enclosure section: every enclosure a SAS controller knows, in the
// order the firmware hands them out.
#include "report/emit_line.h"
#include "report/sections.h"
#include "vxt/page_walk.h"
#include "vxt/pages.h"

namespace {

void EmitEnclosure(ConstBytes enclosure, FILE* log_file) {
  EmitLine(
      FormatLine("Enclosure#                                : %d\n"
                 "  Logical ID                              : %08x:%08x\n"
                 "  Numslots                                : %d\n"
                 "  StartSlot                               : %d\n"
                 "  Start TargetID                          : %d\n"
                 "  Start Bus                               : %d\n",
                 SasEnclosurePg0EnclosureHandle(enclosure), SasEnclosurePg0LogicalIDLow(enclosure),
                 SasEnclosurePg0LogicalIDHigh(enclosure), SasEnclosurePg0NumSlots(enclosure),
                 SasEnclosurePg0StartSlot(enclosure), SasEnclosurePg0StartTargetID(enclosure),
                 SasEnclosurePg0StartBus(enclosure)),
      log_file);
}

}  // namespace

int DisplayEnclosureSection(ControllerInfo* c, const DisplayOptions& options) {
  FILE* const log_file = options.LogFile;
  if (c->BusType == kBusTypeScsi) return 1;
  EmitSectionHeader("Enclosure information", log_file);
  int count = 0;
  int result = WalkExtendedPages(c, kExtPageTypeSasEnclosure, SasEnclosurePg0EnclosureHandle,
                                 [&](ConstBytes enclosure) {
                                   EmitEnclosure(enclosure, log_file);
                                   ++count;
                                 });
  if (result != 1) return result;
  if (count == 0) EmitLine("\nEnclosure Not Present\n", log_file);
  return 1;
}
