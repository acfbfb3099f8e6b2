// The seed recorder's driver channel: every request goes to the control
// node, and its answer is written down in the script form the fuzz targets
// replay.
#include <fcntl.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstring>

#include "firmware_script.h"
#include "vxt/driver_channel.h"
#include "vxt/driver_records.h"

namespace fuzz {
namespace {

std::vector<uint8_t>* Recording = nullptr;

void Put16(uint16_t v) {
  Recording->push_back(static_cast<uint8_t>(v));
  Recording->push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(uint32_t v) {
  Put16(static_cast<uint16_t>(v));
  Put16(static_cast<uint16_t>(v >> 16));
}

void PutBlock(const void* bytes, int32_t size) {
  size_t n = size > 0 && bytes != nullptr ? static_cast<size_t>(size) : 0;
  Put16(static_cast<uint16_t>(n));
  const auto* p = static_cast<const uint8_t*>(bytes);
  Recording->insert(Recording->end(), p, p + n);
}

}  // namespace

void StartRecording(std::vector<uint8_t>* script) { Recording = script; }

}  // namespace fuzz

// Seeds are recorded on a lab whose node is there; the recorder never makes
// one.
int OpenDriverChannel(int* handle) {
  int fd = open(kDriverNodePath, O_RDWR);
  if (fd < 0) return 0;
  *handle = fd;
  return 1;
}

int DriverRequest(int handle, unsigned long code, void* record) {
  int result = ioctl(handle, code, record);
  int saved = errno;
  if (fuzz::Recording == nullptr) return result;
  if (result == -1) {
    fuzz::Recording->push_back(saved == ENODEV ? fuzz::kScriptNoDevice : fuzz::kScriptFail);
  } else {
    fuzz::Recording->push_back(0);
    if (code == kPassThroughCode) {
      auto* r = static_cast<PassThroughRecord*>(record);
      fuzz::PutBlock(r->ReplyBuffer, r->MaxReplyBytes);
      fuzz::PutBlock(r->DataIn, r->DataInSize);
      fuzz::PutBlock(r->SenseBuffer, r->MaxSenseBytes);
    } else if (code == kAdapterInfoCode) {
      auto* r = static_cast<AdapterInfoRecord*>(record);
      for (uint32_t word : {r->PciDeviceId, r->SubsystemDeviceId, r->SubsystemVendorId,
                            r->PciLocation, r->PciSegment}) {
        fuzz::Put32(word);
      }
    }
  }
  errno = saved;
  return result;
}

// The recorder runs one command at a time, and a lock is no request the
// script holds: it takes none, as on a node that takes none.
NodeLockAnswer LockNodeRange(int, off_t, off_t) { return NodeLockAnswer::kNoLocks; }
void UnlockNodeRange(int, off_t, off_t) {}
int NodeRangeHolder(int, off_t, off_t, pid_t*) { return -1; }
ssize_t ReadHolderCommandLine(pid_t, char*, size_t) { return -1; }
