// The `layout` verb's document: a controller's current configuration as a
// layout that `plan` finds in sync.
#pragma once

#include <string>
#include <vector>

#include "monitor/snapshot.h"

// The layout of the controllers, each disk named by its place and pinned by
// its serial, the volumes' sizes exact, followed by a newline.
std::string LayoutJson(const std::vector<ControllerSnapshot>& controllers);
