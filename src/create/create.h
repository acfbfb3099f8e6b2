// The CREATE command: one IR volume from drives the user names.
#pragma once

#include "vxt/vxt.h"

// volkit <controller #> create <type> <size> <drives...> [qsync] [noprompt].
// 0 when the volume was created, 1 otherwise.
int CreateCommand(ControllerInfo* controller, int argc, char** argv);
