#include "console/usage.h"

#include <cstdio>

void PrintUsage() { std::fprintf(stderr, "%s\n", kUsageText); }
