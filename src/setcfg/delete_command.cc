// The DELETE handler, reached also through the deprecated word DEFAULTS.
#include <cstdio>
#include <cstring>

#include "console/confirm.h"
#include "console/words.h"
#include "setcfg/setcfg.h"

namespace {

constexpr char kDeleteUsage[] =
    "  volkit <controller #> DELETE [noprompt]\n"
    "    where <controller #> is:\n"
    "      Number between 0 and 255\n"
    "    where noprompt is an optional argument that eliminates\n"
    "      warnings and prompts\n";

}  // namespace

int DeleteCommand(ControllerInfo* c, int argc, char** argv) {
  LowerCaseWord(argv[2]);
  if (std::strcmp(argv[2], "defaults") == 0) {
    std::printf(
        "NOTE: The DEFAULTS command name has been deprecated.\n"
        "      Please use DELETE in future instances.\n\n");
  }
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "%s\n", kDeleteUsage);
    return 1;
  }
  bool no_prompt = false;
  if (argc == 4) {
    LowerCaseWord(argv[3]);
    no_prompt = std::strcmp(argv[3], "noprompt") == 0;
  }
  if (!no_prompt && !ConfirmOperation(kDeleteIntro, kDataLossWarning, kLastChanceWarning)) {
    return 1;
  }
  if (RemoveAllVolumes(c) == 1) return 0;
  std::printf("volkit: Volume delete failed.\n");
  return 1;
}
