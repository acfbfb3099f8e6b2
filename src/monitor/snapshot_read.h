// The reader behind the machine-readable verbs: one lean pass of reads over
// a controller, filling its snapshot.
#pragma once

#include "monitor/snapshot.h"
#include "vxt/vxt.h"

// Fills firmware and BIOS versions, IR state, volumes, hot spares, devices
// and enclosures of a set-up controller context.  The caller has filled the
// controller's number, model and PCI location.  What cannot be read is left
// unknown, clears Complete and is named in Problems; the reader prints
// nothing.
void ReadControllerSnapshot(ControllerInfo* controller, ControllerSnapshot* snapshot);
