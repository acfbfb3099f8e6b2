#include "cli/entry.h"
#include "cli/output_check.h"

int main(int argc, char** argv) { return FinishOutput(VolkitMain(argc, argv)); }
