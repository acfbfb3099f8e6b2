// The driver channel: the one place in volkit that calls ioctl.
#pragma once

// Issues driver request `code` with `record` on the control node `handle`.
// Returns what ioctl returned (-1 with errno set on failure).
int DriverRequest(int handle, unsigned long code, void* record);
