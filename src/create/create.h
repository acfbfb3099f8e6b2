// The CREATE command: one IR volume from drives the user names.
#pragma once

#include "create/volume_request.h"
#include "vxt/vxt.h"

// volkit <controller #> create <type> <size> <drives...> [qsync] [noprompt].
// 0 when the volume was created, 1 otherwise.
int CreateCommand(ControllerInfo* controller, int argc, char** argv);

// volkit <controller #>|SAS auto|auto1 <type> <size> [qsync] [noprompt]:
// a volume from drives the program picks.  0 when the volume was created,
// 1 otherwise.
int AutoCommand(ControllerInfo* controller, int argc, char** argv);

// CREATE after its dialogue, for drives already resolved: the capability,
// volume count and disk total checks, each drive's checks, and the build with
// its rollback, on the `count` disks at `targets` in member order.  0 when
// the volume was created, 1 otherwise (after the messages CREATE prints).
int CreateVolumeOnTargets(ControllerInfo* controller, const VolumeRequest& request,
                          const uint8_t* targets, int count);
