// `vxtsim show`: a short summary of a state.
#pragma once

#include <cstdio>
#include <string>

#include "model/lab_values.h"

namespace vxtsim {

void PrintSummary(const json& state, const std::string& path, FILE* out);

}  // namespace vxtsim
