#include "cli/entry.h"
#include "console/output_check.h"

int main(int argc, char** argv) { return FinishOutput(VolkitMain(argc, argv)); }
