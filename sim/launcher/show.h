// `vxtsim show`: a short summary of a state.
#pragma once

#include <cstdio>
#include <string>

#include "model/model.h"

namespace vxtsim {

void PrintSummary(const Model& state, const std::string& path, FILE* out);

}  // namespace vxtsim
