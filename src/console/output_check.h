// Output that never reached its file must not pass for a finished report.
#pragma once

// Flushes standard output and keeps the first write error it meets, so that
// the exit can still name it after the stream has dropped its buffer.
void FlushStandardOutput();

// The exit status once standard output and standard error are flushed: a
// failed write is named on standard error and turns success into 1; a
// failing command keeps its own status.
int FinishOutput(int status);
