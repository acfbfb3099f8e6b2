#include "report/report_words.h"

#include "report/emit_line.h"

std::string BiosVersionLine(uint32_t v) {
  return "  BIOS version                            : " + BiosVersionText(v) + "\n";
}

const char* VolumeStateText(uint8_t volume_state, uint8_t volume_status_flags) {
  switch (volume_state) {
    case 0:
      return "Okay (OKY)\n";
    case 1:
      return (volume_status_flags & 0x04) ? "Resyncing (RSY)\n" : "Degraded (DGD)\n";
    case 2:
      return "Failed (FLD)\n";
    case 3:
      return "Missing (MIS)\n";
    default:
      return "Unknown\n";
  }
}

const char* RaidLevelText(uint8_t volume_type) {
  switch (volume_type) {
    case 0:
      return "0\n";
    case 1:
      return "1E\n";
    case 2:
      return "1\n";
    default:
      return "unknown\n";
  }
}

const char* StatusStateWord(uint8_t volume_state) {
  switch (volume_state) {
    case 0:
      return "Optimal";
    case 1:
      return "Degraded";
    case 2:
      return "Failed";
    default:
      return "Unknown";
  }
}

std::string ProgressLines(uint64_t total, uint64_t remaining) {
  uint64_t done = total - remaining;
  double percent = static_cast<double>(done) / static_cast<double>(total) * 100;
  return FormatLine(
      "  Volume size (in sectors)                : %llu\n"
      "  Number of remaining sectors             : %llu\n"
      "  Percentage complete                     : %.2f%%\n",
      static_cast<unsigned long long>(total), static_cast<unsigned long long>(remaining), percent);
}
