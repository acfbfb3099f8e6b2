// Writes fuzz seeds from a real (or simulated) driver's answers:
//   volkit_fuzz_record firmware INDEX FILE   one of the firmware scenarios
//   volkit_fuzz_record words FILE WORDS...   a command line
//   volkit_fuzz_record count                 how many firmware scenarios exist
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "command_runner.h"
#include "firmware_script.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: volkit_fuzz_record firmware INDEX FILE\n"
               "       volkit_fuzz_record words FILE WORDS...\n"
               "       volkit_fuzz_record count\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "count") == 0) {
    std::printf("%zu\n", fuzz::FirmwareScenarios().size());
    return 0;
  }
  if (argc < 4) return Usage();
  std::vector<uint8_t> seed;
  std::vector<std::string> words;
  const char* file = nullptr;
  if (std::strcmp(argv[1], "firmware") == 0 && argc == 4) {
    size_t index = std::strtoul(argv[2], nullptr, 0);
    if (index >= fuzz::FirmwareScenarios().size()) return Usage();
    words = fuzz::FirmwareScenarios()[index];
    seed.push_back(static_cast<uint8_t>(index));
    file = argv[3];
  } else if (std::strcmp(argv[1], "words") == 0) {
    file = argv[2];
    for (int i = 3; i < argc; ++i) {
      words.push_back(argv[i]);
      seed.insert(seed.end(), argv[i], argv[i] + std::strlen(argv[i]) + 1);
    }
    seed.push_back(0);
  } else {
    return Usage();
  }
  fuzz::QuietStandardStreams();
  fuzz::StartRecording(&seed);
  fuzz::RunWords(words);
  fuzz::StartRecording(nullptr);
  FILE* out = std::fopen(file, "wb");
  if (out == nullptr || std::fwrite(seed.data(), 1, seed.size(), out) != seed.size() ||
      std::fclose(out) != 0) {
    std::perror(file);
    return 1;
  }
  return 0;
}
