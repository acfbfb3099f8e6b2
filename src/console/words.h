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

// Reads the controller number argument (0 to 255, as ParseWholeUnsigned).
// 1 with the number; 0 after the message that it is bad.
int ParseControllerNumber(const char* word, uint32_t* number);
