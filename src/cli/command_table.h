#pragma once

#include "vxt/vxt.h"

// Every command handler: the selected controller, the process's argument
// count and vector.  0 for success, non-zero for failure.
using CommandHandler = int (*)(ControllerInfo* controller, int argc, char** argv);

struct CommandEntry {
  const char* Word;
  CommandHandler Handler;
};

// The table in search order, ended by a null entry.
extern const CommandEntry CommandTable[];

// The handler for a lower-case command word, or null.
CommandHandler FindCommand(const char* word);
