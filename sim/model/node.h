// The control node /dev/vxtctl as the lab describes it. No real node is
// ever made or removed; its existence lives in the state.
#pragma once

#include <cstdint>

#include "model/model.h"

namespace vxtsim {

// Each returns 0 when the call succeeds, else the errno it fails with.
int NodeOpen(const NodeState& node);
int NodeMknod(NodeState& node, uint32_t mode, uint32_t major, uint32_t minor, bool& changed);
int NodeUnlink(NodeState& node, bool& changed);

}  // namespace vxtsim
