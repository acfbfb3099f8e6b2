#include "cli/entry.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "cli/command_table.h"
#include "cli/layout_verbs.h"
#include "cli/list.h"
#include "cli/machine_verbs.h"
#include "console/command_lock.h"
#include "console/discovery.h"
#include "console/output_check.h"
#include "console/usage.h"
#include "console/words.h"
#include "vxt/adapter_info.h"

namespace {

struct Selection {
  bool SasMode;
  uint32_t ControllerNumber;
};

int RunList() {
  int handle = -1;
  if (!OpenDriver(&handle)) return 1;
  if (ListControllers(handle) == 2) {
    std::fprintf(stderr, "volkit: no controllers found!\n");
    return 2;
  }
  return 0;
}

// 0 with the selection filled, or the exit status of a refused command line.
int SelectControllers(char** argv, Selection* selection) {
  if (std::isalpha(static_cast<unsigned char>(argv[1][0]))) {
    LowerCaseWord(argv[1]);
    if (std::strcmp(argv[1], "sas") != 0) {
      std::fprintf(stderr,
                   "volkit: Invalid controller specified. It must be either 'SAS' or a valid "
                   "controller #.\n");
      return 1;
    }
    LowerCaseWord(argv[2]);
    if (std::strcmp(argv[2], "auto") != 0 && std::strcmp(argv[2], "auto1") != 0) {
      std::fprintf(stderr, "volkit: controller specified as 'SAS' not valid for this command.\n");
      return 1;
    }
    *selection = {true, 0};
    return 0;
  }
  uint32_t number = 0;
  if (!ParseControllerNumber(argv[1], &number)) return 1;
  *selection = {false, number};
  return 0;
}

int RunControllers(const Selection& selection, int argc, char** argv) {
  bool command_ran = false;
  int result = 0;
  for (uint32_t number = selection.ControllerNumber;; ++number) {
    ControllerInfo* controller = nullptr;
    int opened = OpenController(number, &controller);
    if (opened == kAdapterMissing) {
      if (!selection.SasMode) {
        std::fprintf(stderr, "volkit: controller not found!\n");
        return 2;
      }
      if (!command_ran) {
        std::fprintf(stderr, "volkit: no SAS controllers found!\n");
        return 2;
      }
      return 0;
    }
    if (opened != kAdapterFound) return 2;
    if (VxtSetupIoc(controller) != 1) {
      ReleaseController(controller);
      return 1;
    }
    controller->BusType = BusTypeOf(controller->Adapter.DeviceIdLow);

    LowerCaseWord(argv[2]);
    CommandHandler handler = FindCommand(argv[2]);
    if (handler == nullptr) {
      std::fprintf(stderr, "volkit: unknown command \"%s\"!\n", argv[2]);
      PrintUsage();
      ReleaseController(controller);
      return 1;
    }
    if (!selection.SasMode || controller->BusType == kBusTypeSas) {
      command_ran = true;
      result = 1;
      if (FindCommandLock(argv[2]) != CommandLock::kConfiguration ||
          TakeConfigurationLock(controller)) {
        result = handler(controller, argc, argv);
      }
      if (selection.SasMode && result != 0) {
        std::fprintf(stderr, "volkit: command failed for controller %d!\n",
                     static_cast<int>(number));
      }
    }
    ReleaseController(controller);
    if (!selection.SasMode || number >= kLastControllerNumber) break;
  }
  return result;
}

}  // namespace

int VolkitMain(int argc, char** argv) {
  // The machine-readable verbs print their document and nothing else.
  if (argc >= 3 && IsMachineSelection(argv[1])) {
    if (int status = RunLayoutVerb(argc, argv); status >= 0) return status;
    if (const MachineVerb* verb = FindMachineVerb(argv[2])) {
      return RunMachineVerb(*verb, argc, argv);
    }
  }
  std::printf("%s", kBanner);
  FlushStandardOutput();
  if (argc <= 1) {
    PrintUsage();
    return 1;
  }
  if (argc == 2) {
    LowerCaseWord(argv[1]);
    if (std::strcmp(argv[1], "list") == 0) return RunList();
    std::fprintf(stderr, "volkit: too few command line parameters!\n");
    PrintUsage();
    return 1;
  }
  Selection selection{};
  if (int refused = SelectControllers(argv, &selection)) return refused;
  return RunControllers(selection, argc, argv);
}
