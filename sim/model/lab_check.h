// Checking a lab before any command runs: see CheckLab in state_file.h.
#pragma once

#include "state_file.h"
