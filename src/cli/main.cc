#include "cli/entry.h"

int main(int argc, char** argv) { return VolkitMain(argc, argv); }
