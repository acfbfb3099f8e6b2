#include "cli/command_table.h"

#include <cstdio>
#include <cstring>

#include "create/create.h"
#include "setcfg/hot_spares.h"
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
    {"auto", AutoCommand},       {"auto1", AutoCommand},     {"create", CreateCommand},
    {"defaults", DeleteCommand},  {"delete", DeleteCommand},    {"display", DisplayCommand},
    {"enableir", NotAvailable},  {"disableir", NotAvailable}, {"format", NotAvailable},
    {"hotspare", HotSpareCommand},  {"locate", NotAvailable},    {"status", StatusCommand},
    {"setoffline", NotAvailable}, {"setonline", NotAvailable}, {"rebuild", NotAvailable},
    {nullptr, nullptr},
};

CommandHandler FindCommand(const char* word) {
  for (const CommandEntry* e = CommandTable; e->Word != nullptr; ++e) {
    if (std::strcmp(e->Word, word) == 0) return e->Handler;
  }
  return nullptr;
}
