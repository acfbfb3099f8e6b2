#include "console/command_lock.h"

#include <cstdio>

#include "vxt/node_lock.h"

namespace {

constexpr size_t kHolderTextBytes = kLockHolderWordsBytes + 32;

// " (pid 4242: create im max 2 3)", as far as the holder is known.
void DescribeHolder(const NodeLockHolder& holder, char* text, size_t room) {
  text[0] = '\0';
  if (holder.Pid <= 0) return;
  const long pid = static_cast<long>(holder.Pid);
  if (holder.Words[0] == '\0') {
    std::snprintf(text, room, " (pid %ld)", pid);
  } else {
    std::snprintf(text, room, " (pid %ld: %s)", pid, holder.Words);
  }
}

}  // namespace

int TakeConfigurationLock(ControllerInfo* c) {
  NodeLockHolder holder{};
  if (VxtLockConfiguration(c, &holder)) return 1;
  char who[kHolderTextBytes];
  DescribeHolder(holder, who, sizeof who);
  std::fprintf(stderr,
               "volkit: controller %u is being changed by another volkit%s, try again when it "
               "has finished\n",
               static_cast<unsigned>(c->Adapter.ControllerNumber), who);
  return 0;
}

int TakeTargetLock(ControllerInfo* c, uint8_t target_id) {
  NodeLockHolder holder{};
  if (VxtLockTarget(c, target_id, &holder)) return 1;
  char who[kHolderTextBytes];
  DescribeHolder(holder, who, sizeof who);
  std::fprintf(stderr,
               "volkit: target %d of controller %u is in use by another volkit%s, try again "
               "when it has finished\n",
               target_id, static_cast<unsigned>(c->Adapter.ControllerNumber), who);
  return 0;
}
