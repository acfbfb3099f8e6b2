// Command-line word handling shared by the entry point and the handlers.
#pragma once

#include <cstdint>

// Lower-cases ASCII A-Z in place.
void LowerCaseWord(char* word);

// Reads `word` as an unsigned number with automatic base (decimal, 0x hex,
// leading 0 octal), as strtoul does, including its leading blanks and sign.
// 1 when at least one digit was read, nothing is left over and no range error
// occurred; 0 otherwise.
int ParseWholeUnsigned(const char* word, unsigned long* value);
