// The command line as volkit parses it: controller numbers, command words,
// sizes, drive specifiers and option words, followed by the firmware answers
// the command then meets.  Input: words ended by zero bytes, an empty word,
// then the firmware script.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/words.h"
#include "command_runner.h"
#include "firmware_script.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::QuietStandardStreams();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::ScriptReader script(data, size);
  std::vector<std::string> words;
  std::vector<char> text;
  constexpr size_t kMostWords = 24;
  while (!script.Empty() && words.size() < kMostWords) {
    std::string word = script.Text(&text);
    if (word.empty()) break;
    unsigned long value = 0;
    ParseWholeUnsigned(word.c_str(), &value);
    words.push_back(word);
  }
  fuzz::UseScript(&script);
  fuzz::RunWords(words);
  fuzz::UseScript(nullptr);
  return 0;
}
