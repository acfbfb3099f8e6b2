#include "console/output_check.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

int FirstWriteError = 0;

}  // namespace

void FlushStandardOutput() {
  if (std::fflush(stdout) != 0 && FirstWriteError == 0) FirstWriteError = errno != 0 ? errno : EIO;
}

int FinishOutput(int status) {
  FlushStandardOutput();
  bool failed = false;
  if (std::ferror(stdout)) {
    std::fprintf(stderr, "volkit: cannot write standard output: %s\n",
                 std::strerror(FirstWriteError != 0 ? FirstWriteError : EIO));
    failed = true;
  }
  // Nowhere is left to name a failure of standard error itself; the status says it.
  if (std::fflush(stderr) != 0 || std::ferror(stderr)) failed = true;
  return failed && status == 0 ? 1 : status;
}
