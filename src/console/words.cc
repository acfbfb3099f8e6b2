#include "console/words.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr unsigned long kMaxControllerArgument = 255;

}  // namespace

void LowerCaseWord(char* word) {
  for (; *word != '\0'; ++word) {
    if (*word >= 'A' && *word <= 'Z') *word = static_cast<char>(*word - 'A' + 'a');
  }
}

int ParseWholeUnsigned(const char* word, unsigned long* value) {
  char* end = nullptr;
  errno = 0;
  unsigned long v = std::strtoul(word, &end, 0);
  if (errno == ERANGE || end == word || *end != '\0') return 0;
  *value = v;
  return 1;
}

int ParseControllerNumber(const char* word, uint32_t* number) {
  unsigned long v = 0;
  if (!ParseWholeUnsigned(word, &v) || v > kMaxControllerArgument) {
    std::fprintf(stderr, "volkit: bad controller number \"%s\"!\n", word);
    return 0;
  }
  *number = static_cast<uint32_t>(v);
  return 1;
}
