// A line on the terminal counting how long a long request has been running.
//
// The counting is done by a forked helper process, so that the process
// waiting for the request receives no timer or alarm signal.  The helper only
// writes to the terminal; whatever becomes of it, the request goes on.
#pragma once

struct ElapsedTicker {
  int Pid;   // the helper; 0 when none was started
  int Fd;    // the terminal written to
  int Pipe;  // write end held by the caller; the helper ends when it closes
};

// Shows "Elapsed time: H:MM:SS" on `fd`, rewritten about once a second on one
// line, when `fd` is a terminal whose foreground we are not barred from.
// Otherwise, or when no helper can be started, nothing is shown.
ElapsedTicker StartElapsedTicker(int fd);

// Ends the helper, reaps it and blanks the line.  Does nothing for a ticker
// that never started.
void StopElapsedTicker(ElapsedTicker* ticker);
