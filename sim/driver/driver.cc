#include "driver/driver.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "driver/fault_effects.h"
#include "driver/faults.h"
#include "firmware/firmware.h"
#include "firmware/layouts.h"
#include "model/bytes.h"
#include "model/errno_names.h"
#include "model/protocol.h"
#include "raid/member_failure.h"
#include "raid/raid_actions.h"

namespace vxtsim {

namespace {

// A request that outlasts its timeout is given up after this long: the
// simulated driver never makes its caller wait for the timeout itself.
constexpr uint32_t kTimeoutWaitMs = 100;

template <typename T>
T Field(const uint8_t* record, size_t offset) {
  T v;
  std::memcpy(&v, record + offset, sizeof v);
  return v;
}

void Fail(IoctlResult& r, int err) {
  r.result = -1;
  r.err = err;
}

// A frame is logged without its trailing zero bytes, which keeps log lines
// short and still shows every byte a caller set.
size_t FrameLogSize(const Bytes& frame) {
  size_t end = frame.size();
  // Frames are mostly zeros at the end: skip them a word at a time.
  while (end >= 8) {
    uint64_t word;
    std::memcpy(&word, frame.data() + end - 8, 8);
    if (word) break;
    end -= 8;
  }
  while (end > 0 && frame[end - 1] == 0) --end;
  return end;
}

const char* DirectionName(int32_t in, int32_t out) {
  if (in > 0 && out > 0) return "both";
  if (in > 0) return "in";
  if (out > 0) return "out";
  return "none";
}

// The RAID engine stands above the firmware: RAID actions go to it, every
// other function to the firmware.
void Serve(Controller& ctl, const Message& msg, Completion& out) {
  if (Get8(msg.frame, layout::frame::kFunction) == kFnRaidAction) {
    HandleRaidAction(ctl, msg, out);
  } else {
    ProcessMessage(ctl, msg, out);
  }
}

// Requests without a message know two effects: fail with an errno (EIO when
// the rule names none), or succeed without touching the record. Returns true
// when a rule decided the outcome.
bool DriverFault(Model& model, const RequestFacts& facts, IoctlResult& r) {
  std::optional<FaultHit> hit = MatchFault(model, facts, r.changed);
  if (!hit) return false;
  r.log.Number(LogKey::kFault, static_cast<int64_t>(hit->rule));
  if (hit->effect->no_reply) return true;
  Fail(r, hit->effect->err.given ? hit->effect->err.value : EIO);
  return true;
}

void AdapterInfo(Model& model, uint8_t* rec, IoctlResult& r) {
  uint32_t number = Field<uint32_t>(rec, ai::kController);
  r.log.Text(LogKey::kKind, "adapter_info");
  r.log.Number(LogKey::kController, number);
  r.log.Number(LogKey::kMaxDataSize, Field<int32_t>(rec, ai::kMaxDataSize));
  if (DriverFault(model, DriverRequestFacts(RequestKind::kAdapterInfo, number), r)) return;
  const Controller* ctl = model.FindController(number);
  if (!ctl) return Fail(r, ENODEV);
  const Pci& pci = ctl->pci;
  Bytes out(ai::kRecordSize);
  std::memcpy(out.data(), rec, out.size());
  Put32(out, ai::kPciDeviceId, pci.device_id);
  Put32(out, ai::kSubsysDeviceId, pci.subsystem_device_id);
  Put32(out, ai::kSubsysVendorId, pci.subsystem_vendor_id);
  uint64_t location = (pci.device & 0x1F) | (pci.function & 0x7) << 5 | uint64_t{pci.bus} << 8;
  Put32(out, ai::kPciLocation, location);
  Put32(out, ai::kSegment, pci.segment);
  std::memcpy(rec, out.data(), out.size());
}

void Reset(Model& model, uint8_t* rec, IoctlResult& r) {
  uint32_t number = Field<uint32_t>(rec, 0);
  r.log.Text(LogKey::kKind, "reset");
  r.log.Number(LogKey::kController, number);
  r.log.Number(LogKey::kMaxDataSize, Field<int32_t>(rec, 8));
  if (DriverFault(model, DriverRequestFacts(RequestKind::kReset, number), r)) return;
  Controller* ctl = model.FindController(number);
  if (!ctl) return Fail(r, ENODEV);
  ResetController(*ctl);
  r.changed = true;
}

void PassThrough(Model& model, uint8_t* rec, IoctlResult& r) {
  uint32_t number = Field<uint32_t>(rec, pt::kController);
  int32_t max_data = Field<int32_t>(rec, pt::kMaxDataSize);
  uint8_t* reply_ptr = Field<uint8_t*>(rec, pt::kReplyPtr);
  uint8_t* in_ptr = Field<uint8_t*>(rec, pt::kDataInPtr);
  const uint8_t* out_ptr = Field<const uint8_t*>(rec, pt::kDataOutPtr);
  uint8_t* sense_ptr = Field<uint8_t*>(rec, pt::kSensePtr);
  int32_t max_reply = Field<int32_t>(rec, pt::kMaxReply);
  int32_t in_size = Field<int32_t>(rec, pt::kDataInSize);
  int32_t out_size = Field<int32_t>(rec, pt::kDataOutSize);
  int32_t max_sense = Field<int32_t>(rec, pt::kMaxSense);

  Message msg;
  msg.timeout = Field<uint32_t>(rec, pt::kTimeout);
  msg.sge_offset = Field<uint32_t>(rec, pt::kSgeOffset);
  r.log.Text(LogKey::kKind, "passthrough");
  r.log.Number(LogKey::kController, number);
  r.log.Number(LogKey::kPort, Field<uint32_t>(rec, pt::kPort));
  r.log.Number(LogKey::kMaxDataSize, max_data);
  r.log.Number(LogKey::kTimeout, msg.timeout);
  r.log.Number(LogKey::kSgeOffset, msg.sge_offset);
  r.log.Number(LogKey::kMaxReply, max_reply);
  r.log.Number(LogKey::kMaxSense, max_sense);
  r.log.Number(LogKey::kDataInSize, in_size);
  r.log.Number(LogKey::kDataOutSize, out_size);
  r.log.Text(LogKey::kDirection, DirectionName(in_size, out_size));

  // The driver copies the record only as far as the caller says it reaches.
  if (max_data < static_cast<int32_t>(pt::kFrame + 4) || max_data > 4096) return Fail(r, EINVAL);
  if (in_size < 0 || out_size < 0 || max_reply < 0 || max_sense < 0) return Fail(r, EINVAL);
  if ((in_size > 0 && !in_ptr) || (out_size > 0 && !out_ptr) || (max_reply > 0 && !reply_ptr) ||
      (max_sense > 0 && !sense_ptr)) {
    return Fail(r, EFAULT);
  }
  size_t frame_size = std::min<size_t>(pt::kFrameSize, static_cast<size_t>(max_data) - pt::kFrame);
  msg.frame.assign(pt::kFrameSize, 0);
  std::memcpy(msg.frame.data(), rec + pt::kFrame, frame_size);
  msg.data_out.assign(out_ptr, out_ptr + out_size);
  msg.data_in_size = static_cast<size_t>(in_size);
  r.log.Number(LogKey::kFunction, Get8(msg.frame, layout::frame::kFunction));
  r.log.Hex(LogKey::kFrame, msg.frame.data(), FrameLogSize(msg.frame));
  r.log.Hex(LogKey::kDataOut, msg.data_out.data(), msg.data_out.size());

  Controller* ctl = model.FindController(number);
  if (!ctl) return Fail(r, ENODEV);
  if (msg.HasData() && size_t{msg.sge_offset} * 4 + 12 > pt::kFrameSize) return Fail(r, EINVAL);
  // Disks a lab marks failed are noticed before the firmware's next answer.
  if (HandleFailedDisks(*ctl)) r.changed = true;

  static const FaultEffect kNoEffect;
  std::optional<FaultHit> hit;
  if (!model.faults.empty()) hit = MatchFault(model, DescribeFrame(number, msg.frame), r.changed);
  const FaultEffect& effect = hit ? *hit->effect : kNoEffect;
  if (hit) r.log.Number(LogKey::kFault, static_cast<int64_t>(hit->rule));
  if (effect.fail_phys_disk.given && FailPhysDisk(*ctl, effect.fail_phys_disk)) r.changed = true;
  if (effect.err.given) return Fail(r, effect.err.value);

  Completion done;
  if (EffectReplacesWork(effect)) {
    EffectReply(effect, msg, done);
  } else {
    Serve(*ctl, msg, done);
    EffectAfterWork(effect, msg, done);
  }
  if (done.changed) r.changed = true;
  if (done.busy_ms) {
    // The firmware goes on with the work; the driver stops waiting for it.
    uint64_t limit_ms = uint64_t{msg.timeout} * 1000;
    if (msg.timeout != 0 && done.busy_ms > limit_ms) {
      r.wait_ms = static_cast<uint32_t>(std::min<uint64_t>(limit_ms, kTimeoutWaitMs));
      return Fail(r, ETIMEDOUT);
    }
    r.wait_ms = done.busy_ms;
  }

  size_t data_n = std::min(done.data_in.size(), msg.data_in_size);
  if (data_n) std::memcpy(in_ptr, done.data_in.data(), data_n);
  r.log.Number(LogKey::kDataInWritten, static_cast<int64_t>(data_n));
  r.log.Number(LogKey::kIocStatus, ReplyIocStatus(done.reply));
  if (effect.no_reply) {
    r.log.Hex(LogKey::kReply, nullptr, 0);
    return;
  }
  size_t reply_n = std::min(done.reply.size(), static_cast<size_t>(max_reply));
  if (reply_n) std::memcpy(reply_ptr, done.reply.data(), reply_n);
  r.log.Hex(LogKey::kReply, done.reply.data(), reply_n);
  size_t sense_n = std::min(done.sense.size(), static_cast<size_t>(max_sense));
  if (sense_n) std::memcpy(sense_ptr, done.sense.data(), sense_n);
  if (sense_n) r.log.Hex(LogKey::kSense, done.sense.data(), sense_n);
}

}  // namespace

IoctlResult DriverIoctl(Model& model, unsigned long request, void* arg) {
  IoctlResult r;
  r.log.Number(LogKey::kRequest, static_cast<int64_t>(request));
  auto* rec = static_cast<uint8_t*>(arg);
  if (!rec) {
    Fail(r, EFAULT);
  } else if (request == kIoctlAdapterInfo) {
    AdapterInfo(model, rec, r);
  } else if (request == kIoctlPassThrough) {
    PassThrough(model, rec, r);
  } else if (request == kIoctlReset) {
    Reset(model, rec, r);
  } else {
    // The 32-bit pass-through record cannot carry this process's pointers.
    Fail(r, ENOTTY);
  }
  r.log.Number(LogKey::kResult, r.result);
  if (r.err) {
    r.log.Number(LogKey::kErrno, r.err);
    r.log.Text(LogKey::kError, ErrnoName(r.err));
  }
  return r;
}

}  // namespace vxtsim
