// The fuzz targets' driver channel: no node is opened, and every request is
// answered from the script in use.
#include <cerrno>
#include <cstring>

#include "firmware_script.h"
#include "vxt/driver_channel.h"
#include "vxt/driver_records.h"

namespace fuzz {
namespace {

ScriptReader* Script = nullptr;

size_t Room(int32_t size) { return size > 0 ? static_cast<size_t>(size) : 0; }

}  // namespace

void UseScript(ScriptReader* script) { Script = script; }

}  // namespace fuzz

// The script needs no node: the handle is never used.
int OpenDriverChannel(int* handle) {
  *handle = -1;
  return 1;
}

int DriverRequest(int, unsigned long code, void* record) {
  fuzz::ScriptReader* script = fuzz::Script;
  if (script == nullptr || script->Empty()) {
    errno = code == kAdapterInfoCode ? ENODEV : EIO;
    return -1;
  }
  uint8_t flags = script->Byte();
  if (flags & (fuzz::kScriptFail | fuzz::kScriptNoDevice)) {
    errno = flags & fuzz::kScriptNoDevice ? ENODEV : EIO;
    return -1;
  }
  if (code == kPassThroughCode) {
    auto* r = static_cast<PassThroughRecord*>(record);
    script->Block(static_cast<uint8_t*>(r->ReplyBuffer), fuzz::Room(r->MaxReplyBytes));
    script->Block(static_cast<uint8_t*>(r->DataIn), fuzz::Room(r->DataInSize));
    script->Block(static_cast<uint8_t*>(r->SenseBuffer), fuzz::Room(r->MaxSenseBytes));
  } else if (code == kAdapterInfoCode) {
    auto* r = static_cast<AdapterInfoRecord*>(record);
    r->PciDeviceId = script->Word32();
    r->SubsystemDeviceId = script->Word32();
    r->SubsystemVendorId = script->Word32();
    r->PciLocation = script->Word32();
    r->PciSegment = script->Word32();
  }
  return 0;
}

// No node, so no record locks: every command goes ahead as on a node that
// takes none.
NodeLockAnswer LockNodeRange(int, off_t, off_t) { return NodeLockAnswer::kNoLocks; }
void UnlockNodeRange(int, off_t, off_t) {}
int NodeRangeHolder(int, off_t, off_t, pid_t*) { return -1; }
ssize_t ReadHolderCommandLine(pid_t, char*, size_t) { return -1; }
