// The errno names the lab and state documents write, both ways.
#pragma once

#include <string>

namespace vxtsim {

// An errno by its name ("EIO"); false for a name the model does not know.
bool ErrnoByName(const std::string& name, int& value);
const char* ErrnoName(int err);

}  // namespace vxtsim
