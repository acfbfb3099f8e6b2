#pragma once

#include "vxt/vxt.h"

// Every command handler: the selected controller, the process's argument
// count and vector.  0 for success, non-zero for failure.
using CommandHandler = int (*)(ControllerInfo* controller, int argc, char** argv);

// What a command holds against other volkit processes while it runs.
// Readers hold nothing; FORMAT locks only the target it formats, itself.
enum class CommandLock : uint8_t {
  kNone,
  kConfiguration,  // taken before the handler runs, so before its dialogue
};

struct CommandEntry {
  const char* Word;
  CommandHandler Handler;
  CommandLock Lock = CommandLock::kNone;
};

// The table in search order, ended by a null entry.
extern const CommandEntry CommandTable[];

// The handler for a lower-case command word, or null.
CommandHandler FindCommand(const char* word);

// The lock of a lower-case command word; kNone for an unknown word.
CommandLock FindCommandLock(const char* word);
