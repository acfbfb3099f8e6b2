// Runs volkit in the background under vxtsim, on a state other runs share,
// for tests of what two volkit processes do to each other.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "support/volkit_run.h"

namespace volkit_test {

struct BackgroundVolkit {
  pid_t pid = -1;
  int stdin_fd = -1;  // write end of its standard input, held open
  std::string dir;    // the shared scratch directory
  std::string name;   // its own files there: NAME.out, NAME.err, NAME.log
};

// Starts `volkit ARGS...` on the state in `dir` (made there by an earlier run
// from dir/lab.json). Its standard input stays open until FinishVolkit.
BackgroundVolkit StartVolkit(const std::string& dir, const std::string& name,
                             const std::vector<std::string>& args);

// Starts any `command` under vxtsim on that state, as StartVolkit does.
BackgroundVolkit StartUnderVxtsim(const std::string& dir, const std::string& name,
                                  const std::vector<std::string>& command);

// Waits until its standard output holds `text`. False when the process ended
// without it or a generous bound ran out.
bool WaitForOutput(const BackgroundVolkit& run, const std::string& text);

// Writes `stdin_text`, closes its standard input and waits for the end.
VolkitRun FinishVolkit(BackgroundVolkit* run, const std::string& stdin_text = "");

// Ends it with SIGKILL, as a crash or a lost session would.
VolkitRun KillVolkit(BackgroundVolkit* run);

}  // namespace volkit_test
