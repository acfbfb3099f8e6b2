#pragma once

#include "console/discovery.h"

// The whole program: banner, argument checks, controller selection and the
// command run.  Returns the process exit status.
int VolkitMain(int argc, char** argv);

// VolkitMain with another way of opening the control node.
int VolkitMainOn(int argc, char** argv, DriverOpener open_driver);
