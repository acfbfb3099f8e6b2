// The lab built into the launcher, used when no --lab is given.
#pragma once

namespace vxtsim {
extern const char kDefaultLab[];
}
