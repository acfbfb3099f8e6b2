// The driver channel: how a program reaches the driver's control node, its
// requests and its record locks.
//
// The request layer declares these and every program links exactly one
// definition of them: volkit and the tests the control node itself
// (src/driver/), capture one that guards the requests it sends, the fuzz
// targets a scripted driver, the seed recorder one that writes the answers
// down.  The stand-ins take no record locks.
#pragma once

#include <sys/types.h>

#include <cstddef>

// 1 with the open control node in `handle`; 0 when it cannot be opened.  A
// missing node is created first.
int OpenDriverChannel(int* handle);

// Issues driver request `code` with `record` on the control node `handle`.
// Returns what ioctl returned (-1 with errno set on failure).
int DriverRequest(int handle, unsigned long code, void* record);

// Record locks on the control node (vxt/node_lock.h says which byte stands
// for what): write locks on byte ranges, never waited for, which the kernel
// drops when their holder ends.
enum class NodeLockAnswer {
  kTaken,     // this process holds the range now
  kInTheWay,  // another process holds some of it
  kNoLocks,   // the node takes no record locks, or the lock failed otherwise
};
NodeLockAnswer LockNodeRange(int handle, off_t start, off_t length);

// Gives the range up.  A range never locked, or a node without locks, is no
// failure, so nothing comes back.
void UnlockNodeRange(int handle, off_t start, off_t length);

// Who holds a lock in the way of the range: 1 with its process ID in `pid`
// (0 or less when the kernel does not name it); 0 when nothing is in the way
// any more; -1 when the question failed.
int NodeRangeHolder(int handle, off_t start, off_t length, pid_t* pid);

// Reads up to `room` bytes of the command line of process `pid` (the lock
// holder NodeRangeHolder named), its words each ended by a NUL.  The count
// read; 0 or -1 when there is none to read.
ssize_t ReadHolderCommandLine(pid_t pid, char* line, size_t room);
