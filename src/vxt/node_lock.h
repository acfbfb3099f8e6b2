// Locks that keep two volkit processes from changing one controller at the
// same time.  They are POSIX record locks on the open control node, so the
// kernel drops them when their holder ends, however it ends: a killed volkit
// leaves nothing stale behind.  Byte N of the node stands for the
// configuration of controller N, byte 256 + 256 * N + T for target T of
// controller N.  Readers take no lock and never wait; a lock that is taken is
// never waited for either: the caller refuses and says who is in the way.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>

#include "vxt/vxt.h"

inline constexpr size_t kLockHolderWordsBytes = 160;

// The process in the way of a lock.
struct NodeLockHolder {
  pid_t Pid;  // 0 when the kernel could not name it
  // Its command words (the command line after the program and the
  // controller), printable; empty when they cannot be read.
  char Words[kLockHolderWordsBytes];
};

// Each takes the lock for this process until the context is released.
// 1: held now, or the node takes no locks at all (nothing to hold);
// 0: another process holds it, named in `holder`.
int VxtLockConfiguration(ControllerInfo* controller, NodeLockHolder* holder);
int VxtLockTarget(ControllerInfo* controller, uint8_t target_id, NodeLockHolder* holder);

// Gives up every lock the context's controller holds in this process.
void VxtUnlockController(const ControllerInfo* controller);
