#include "console/confirm.h"

#include <cstdio>
#include <cstring>

#include "console/output_check.h"

namespace {

// One answer line of at most 79 characters; the newline must be there.
bool ReadAnswer(const char* upper, const char* lower) {
  char line[80];
  if (std::fgets(line, sizeof line, stdin) == nullptr) return false;
  return std::strcmp(line, upper) == 0 || std::strcmp(line, lower) == 0;
}

}  // namespace

int ConfirmOperation(const char* intro, const char* warning, const char* last_chance) {
  std::printf("%s", intro);
  std::printf("%s", warning);
  FlushStandardOutput();
  if (!ReadAnswer("YES\n", "yes\n")) {
    std::fprintf(stderr,
                 "volkit: you must answer \"YES\" or \"yes\" to proceed; operation aborted!\n");
    return 0;
  }
  std::printf("%s", last_chance);
  FlushStandardOutput();
  if (!ReadAnswer("NO\n", "no\n")) {
    std::fprintf(stderr,
                 "volkit: you must answer \"NO\" or \"no\" to proceed; operation aborted!\n");
    return 0;
  }
  return 1;
}
