// The command line as volkit parses it: controller numbers, command words,
// sizes, drive specifiers and option words, followed by the firmware answers
// the command then meets.  Input: words ended by zero bytes, an empty word,
// then the firmware script.
#include <strings.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "command_runner.h"
#include "console/words.h"
#include "firmware_script.h"

// DISPLAY writes its copy wherever a word says: the words never leave a
// scratch directory of their own (no word names a path with a slash).
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::QuietStandardStreams();
  char dir[] = "/tmp/volkit-fuzz-XXXXXX";
  if (mkdtemp(dir) == nullptr || chdir(dir) != 0) {
    std::perror("scratch directory");
    std::abort();
  }
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
    for (char& c : word) {
      if (c == '/') c = '_';
    }
    unsigned long value = 0;
    ParseWholeUnsigned(word.c_str(), &value);
    words.push_back(word);
  }
  // REBUILD ends the process on a volume ID it cannot take (an ID that is
  // malformed or above the firmware's device limit); only ID 0 passes both
  // whatever the firmware says, so the run goes on in-process.
  if (words.size() == 3 && strcasecmp(words[1].c_str(), "rebuild") == 0) {
    unsigned long id = 1;
    if (!ParseWholeUnsigned(words[2].c_str(), &id) || id != 0) words[2] = std::string(1, '0');
  }
  fuzz::UseScript(&script);
  fuzz::RunWords(words);
  fuzz::UseScript(nullptr);
  // Whatever a word made in the scratch directory goes with the run; most
  // words made nothing.
  for (const std::string& word : words) {
    // NOLINTNEXTLINE(cert-err33-c)
    unlink(word.c_str());
  }
  return 0;
}
