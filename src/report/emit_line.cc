#include "report/emit_line.h"

void EmitLine(std::string_view text, FILE* log_file) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  WriteLogFile(text, log_file);
}

void WriteLogFile(std::string_view text, FILE* log_file) {
  if (log_file == nullptr || std::ferror(log_file)) return;
  // Flushed line by line so that a full disk is reported where it happens,
  // not at exit when nobody can act on it any more.
  if (std::fwrite(text.data(), 1, text.size(), log_file) != text.size() ||
      std::fflush(log_file) != 0) {
    std::perror("Error when writing in file");
  }
}

void EmitSectionHeader(const char* title, FILE* log_file) {
  std::string block = kSectionRule;
  block += title;
  block += '\n';
  block += kSectionRule;
  EmitLine(block, log_file);
}
