#include "console/words.h"

#include <cerrno>
#include <cstdlib>

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
