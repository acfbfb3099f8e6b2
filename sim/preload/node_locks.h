// Record locks on the node, kept on a lock file beside the state.
#pragma once

namespace vxtsim::preload {

using FcntlFn = int (*)(int, int, ...);

// fcntl on a descriptor of the node: the record-lock commands act on the
// lock file, every other command on the descriptor itself.
int NodeFcntl(FcntlFn real, int fd, int cmd, void* arg);

// Closing any descriptor of the node drops all the process's locks on it.
void DropNodeLocks();

}  // namespace vxtsim::preload
