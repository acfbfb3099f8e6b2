// The driver channel: how a program reaches the driver's control node.
//
// The request layer declares these and every program links exactly one
// definition of them: volkit, capture and the tests the control node itself
// (src/driver/ioctl_channel.cc; capture's own guards the requests it sends),
// the fuzz targets a scripted driver, the seed recorder one that writes the
// answers down.
#pragma once

// 1 with the open control node in `handle`; 0 when it cannot be opened.  A
// missing node is created first.
int OpenDriverChannel(int* handle);

// Issues driver request `code` with `record` on the control node `handle`.
// Returns what ioctl returned (-1 with errno set on failure).
int DriverRequest(int handle, unsigned long code, void* record);
