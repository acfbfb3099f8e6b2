#include "cli/command_table.h"

#include <cstdio>
#include <cstring>

#include "create/create.h"
#include "setcfg/setcfg.h"

#include "report/report.h"

namespace {

// Commands whose handlers this build does not carry refuse plainly rather
// than pretend to succeed.
int NotAvailable(ControllerInfo*, int, char** argv) {
  std::fprintf(stderr, "volkit: %s is not available in this build\n", argv[2]);
  return 1;
}

}  // namespace

const CommandEntry CommandTable[] = {
    {"auto", NotAvailable},      {"auto1", NotAvailable},     {"create", CreateCommand},
    {"defaults", DeleteCommand},  {"delete", DeleteCommand},    {"display", DisplayCommand},
    {"enableir", IrSwitchCommand}, {"disableir", IrSwitchCommand}, {"format", FormatCommand},
    {"hotspare", NotAvailable},  {"locate", LocateCommand},   {"status", StatusCommand},
    {"setoffline", SetOfflineCommand}, {"setonline", SetOnlineCommand},
    {"rebuild", RebuildCommand},
    {nullptr, nullptr},
};

CommandHandler FindCommand(const char* word) {
  for (const CommandEntry* e = CommandTable; e->Word != nullptr; ++e) {
    if (std::strcmp(e->Word, word) == 0) return e->Handler;
  }
  return nullptr;
}
