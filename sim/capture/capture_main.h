// The entry of `vxtsim capture`, for the launcher's dispatch.
#pragma once

namespace capture {

// `vxtsim capture ARGS...`; argv[0] is "capture". Returns the exit status.
int CaptureMain(int argc, char** argv);

}  // namespace capture
