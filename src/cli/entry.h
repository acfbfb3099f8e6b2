#pragma once

// The whole program: banner, argument checks, controller selection and the
// command run.  Returns the process exit status.
int VolkitMain(int argc, char** argv);
