#include "cli/command_table.h"

#include <cstring>

#include "create/create.h"
#include "report/report.h"
#include "setcfg/setcfg.h"

const CommandEntry CommandTable[] = {
    {"auto", AutoCommand, CommandLock::kConfiguration},
    {"auto1", AutoCommand, CommandLock::kConfiguration},
    {"create", CreateCommand, CommandLock::kConfiguration},
    {"defaults", DeleteCommand, CommandLock::kConfiguration},
    {"delete", DeleteCommand, CommandLock::kConfiguration},
    {"display", DisplayCommand},
    {"enableir", IrSwitchCommand, CommandLock::kConfiguration},
    {"disableir", IrSwitchCommand, CommandLock::kConfiguration},
    {"format", FormatCommand},
    {"hotspare", HotSpareCommand, CommandLock::kConfiguration},
    {"locate", LocateCommand},
    {"status", StatusCommand},
    {"setoffline", SetOfflineCommand, CommandLock::kConfiguration},
    {"setonline", SetOnlineCommand, CommandLock::kConfiguration},
    {"rebuild", RebuildCommand, CommandLock::kConfiguration},
    {nullptr, nullptr},
};

CommandHandler FindCommand(const char* word) {
  for (const CommandEntry* e = CommandTable; e->Word != nullptr; ++e) {
    if (std::strcmp(e->Word, word) == 0) return e->Handler;
  }
  return nullptr;
}

CommandLock FindCommandLock(const char* word) {
  for (const CommandEntry* e = CommandTable; e->Word != nullptr; ++e) {
    if (std::strcmp(e->Word, word) == 0) return e->Lock;
  }
  return CommandLock::kNone;
}
