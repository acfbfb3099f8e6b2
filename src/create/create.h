// The CREATE command: one IR volume from drives the user names.
#pragma once

#include "vxt/vxt.h"

// volkit <controller #> create <type> <size> <drives...> [qsync] [noprompt].
// 0 when the volume was created, 1 otherwise.
int CreateCommand(ControllerInfo* controller, int argc, char** argv);

// volkit <controller #>|SAS auto|auto1 <type> <size> [qsync] [noprompt]:
// a volume from drives the program picks.  0 when the volume was created,
// 1 otherwise.
int AutoCommand(ControllerInfo* controller, int argc, char** argv);
