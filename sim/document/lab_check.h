// Checking a lab before any command runs: see CheckLab in state_file.h.
#pragma once

#include "document/state_file.h"
