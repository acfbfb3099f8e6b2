#include "cli/command_table.h"

#include <cstring>

#include "create/create.h"
#include "setcfg/hot_spares.h"
#include "setcfg/setcfg.h"

#include "report/report.h"

const CommandEntry CommandTable[] = {
    {"auto", AutoCommand},
    {"auto1", AutoCommand},
    {"create", CreateCommand},
    {"defaults", DeleteCommand},
    {"delete", DeleteCommand},
    {"display", DisplayCommand},
    {"enableir", IrSwitchCommand},
    {"disableir", IrSwitchCommand},
    {"format", FormatCommand},
    {"hotspare", HotSpareCommand},
    {"locate", LocateCommand},
    {"status", StatusCommand},
    {"setoffline", SetOfflineCommand},
    {"setonline", SetOnlineCommand},
    {"rebuild", RebuildCommand},
    {nullptr, nullptr},
};

CommandHandler FindCommand(const char* word) {
  for (const CommandEntry* e = CommandTable; e->Word != nullptr; ++e) {
    if (std::strcmp(e->Word, word) == 0) return e->Handler;
  }
  return nullptr;
}
