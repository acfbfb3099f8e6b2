// DISPLAY: the command line, the optional log file and the section order.
#include <cstdio>
#include <cstring>

#include "console/output_check.h"
#include "console/usage.h"
#include "report/emit_line.h"
#include "report/report.h"
#include "report/sections.h"

namespace {

constexpr char kDisplayUsage[] =
    "  volkit <controller #> DISPLAY [filename]\n"
    "    where <controller #> is:\n"
    "      Number between 0 and 255\n"
    "    and optional argument [filename] is any valid filename\n"
    "      to store output of DISPLAY cmd. Eg.dispData.txt\n";

using Section = int (*)(ControllerInfo*, const DisplayOptions&);
constexpr Section kSections[] = {DisplayControllerSection, DisplayVolumeSection,
                                 DisplayDeviceSection, DisplayEnclosureSection};

bool IsKvrFruWord(const char* word) {
  return std::strcmp(word, "KVRFRU") == 0 || std::strcmp(word, "kvrfru") == 0;
}

// The option word, when present, is always the last word; otherwise the
// first word after the command names the log file.
DisplayOptions ReadOptions(int argc, char** argv) {
  if (argc < 4) return {nullptr, false};
  if (IsKvrFruWord(argv[argc - 1])) return {nullptr, true};
  FILE* file = std::fopen(argv[3], "w");
  if (file == nullptr) std::printf("WARNING : Unable to open the specified file for logging\n");
  return {file, false};
}

int RunSections(ControllerInfo* c, const DisplayOptions& options) {
  for (Section section : kSections) {
    if (section(c, options) != 1) return 1;
  }
  EmitLine(kSectionRule, options.LogFile);
  return 0;
}

}  // namespace

int DisplayCommand(ControllerInfo* c, int argc, char** argv) {
  if (argc < 3 || argc > 5) {
    std::fprintf(stderr, "%s\n", kDisplayUsage);
    return 1;
  }
  const DisplayOptions options = ReadOptions(argc, argv);
  FILE* log_file = options.LogFile;
  WriteLogFile(kBanner, log_file);
  std::printf("Read configuration has been initiated for controller %s\n", argv[1]);
  int result = RunSections(c, options);
  FlushStandardOutput();
  if (log_file != nullptr) {
    // A copy that did not reach its file is no copy: the run says so.
    bool lost = std::ferror(log_file) != 0;
    if (std::fclose(log_file) != 0 && !lost) {
      std::perror("Error when writing in file");
      lost = true;
    }
    if (lost && result == 0) result = 1;
  }
  return result;
}
