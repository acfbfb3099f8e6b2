// The locks a changing command takes before it changes anything, and the
// refusal when another volkit holds one (see vxt/node_lock.h).
#pragma once

#include <cstdint>

#include "vxt/vxt.h"

// 1: the controller's configuration is this process's to change; 0: another
// volkit is changing it, after the message naming it.
int TakeConfigurationLock(ControllerInfo* controller);

// 1: target `target_id` is this process's to use; 0: another volkit is
// formatting it or building with it, after the message naming it.
int TakeTargetLock(ControllerInfo* controller, uint8_t target_id);
