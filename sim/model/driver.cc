#include "driver.h"

#include <cerrno>
#include <cstring>

#include "bytes.h"
#include "controller.h"
#include "fault_effects.h"
#include "faults.h"
#include "firmware.h"
#include "protocol.h"

namespace vxtsim {

namespace {

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

// Hex of a frame without its trailing zero bytes, which keeps log lines short
// and still shows every byte a caller set.
std::string FrameHex(const Bytes& frame) {
  size_t end = frame.size();
  while (end > 0 && frame[end - 1] == 0) --end;
  return ToHex(frame.data(), end);
}

const char* DirectionName(int32_t in, int32_t out) {
  if (in > 0 && out > 0) return "both";
  if (in > 0) return "in";
  if (out > 0) return "out";
  return "none";
}

// Requests without a message know two effects: fail with an errno (EIO when
// the rule names none), or succeed without touching the record. Returns true
// when a rule decided the outcome.
bool DriverFault(json& state, const RequestFacts& facts, IoctlResult& r) {
  std::optional<FaultHit> hit = MatchFault(state, facts, r.changed);
  if (!hit) return false;
  r.log["fault"] = hit->rule;
  if (Flag(hit->effect, "no_reply", false)) return true;
  const json& err = Member(hit->effect, "errno");
  Fail(r, err.is_null() ? EIO : ErrnoValue(err));
  return true;
}

void AdapterInfo(json& state, uint8_t* rec, IoctlResult& r) {
  uint32_t number = Field<uint32_t>(rec, ai::kController);
  r.log["kind"] = "adapter_info";
  r.log["controller"] = number;
  r.log["max_data_size"] = Field<int32_t>(rec, ai::kMaxDataSize);
  if (DriverFault(state, DriverRequestFacts("adapter_info", number), r)) return;
  const json* ctl = FindController(state, number);
  if (!ctl) return Fail(r, ENODEV);
  const json& pci = Member(*ctl, "pci");
  Bytes out(ai::kRecordSize);
  std::memcpy(out.data(), rec, out.size());
  Put32(out, ai::kPciDeviceId, Num(pci, "device_id", 0x54));
  Put32(out, ai::kSubsysDeviceId, Num(pci, "subsystem_device_id", 0x3020));
  Put32(out, ai::kSubsysVendorId, Num(pci, "subsystem_vendor_id", 0x1000));
  uint64_t location = (Num(pci, "device", 0) & 0x1F) | (Num(pci, "function", 0) & 0x7) << 5 |
                      Num(pci, "bus", 2) << 8;
  Put32(out, ai::kPciLocation, location);
  Put32(out, ai::kSegment, Num(pci, "segment", 0));
  std::memcpy(rec, out.data(), out.size());
}

void Reset(json& state, uint8_t* rec, IoctlResult& r) {
  uint32_t number = Field<uint32_t>(rec, 0);
  r.log["kind"] = "reset";
  r.log["controller"] = number;
  r.log["max_data_size"] = Field<int32_t>(rec, 8);
  if (DriverFault(state, DriverRequestFacts("reset", number), r)) return;
  json* ctl = FindController(state, number);
  if (!ctl) return Fail(r, ENODEV);
  ResetController(*ctl);
  r.changed = true;
}

void PassThrough(json& state, uint8_t* rec, IoctlResult& r) {
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
  r.log["kind"] = "passthrough";
  r.log["controller"] = number;
  r.log["port"] = Field<uint32_t>(rec, pt::kPort);
  r.log["max_data_size"] = max_data;
  r.log["timeout"] = msg.timeout;
  r.log["sge_offset"] = msg.sge_offset;
  r.log["max_reply"] = max_reply;
  r.log["max_sense"] = max_sense;
  r.log["data_in_size"] = in_size;
  r.log["data_out_size"] = out_size;
  r.log["direction"] = DirectionName(in_size, out_size);

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
  r.log["function"] = Get8(msg.frame, 3);
  r.log["frame"] = FrameHex(msg.frame);
  r.log["data_out"] = ToHex(msg.data_out);

  json* ctl = FindController(state, number);
  if (!ctl) return Fail(r, ENODEV);
  if (msg.HasData() && size_t{msg.sge_offset} * 4 + 12 > pt::kFrameSize) return Fail(r, EINVAL);

  std::optional<FaultHit> hit = MatchFault(state, DescribeFrame(number, msg.frame), r.changed);
  const json no_effect = json::object();
  const json& effect = hit ? hit->effect : no_effect;
  if (hit) r.log["fault"] = hit->rule;
  if (!Member(effect, "errno").is_null()) return Fail(r, ErrnoValue(effect["errno"]));

  Completion done;
  if (EffectReplacesWork(effect)) {
    EffectReply(effect, msg, done);
  } else {
    ProcessMessage(*ctl, msg, done);
    EffectAfterWork(effect, msg, done);
  }
  if (done.changed) r.changed = true;

  size_t data_n = std::min(done.data_in.size(), msg.data_in_size);
  if (data_n) std::memcpy(in_ptr, done.data_in.data(), data_n);
  r.log["data_in_written"] = data_n;
  r.log["ioc_status"] = ReplyIocStatus(done.reply);
  if (Flag(effect, "no_reply", false)) {
    r.log["reply"] = "";
    return;
  }
  size_t reply_n = std::min(done.reply.size(), static_cast<size_t>(max_reply));
  if (reply_n) std::memcpy(reply_ptr, done.reply.data(), reply_n);
  r.log["reply"] = ToHex(done.reply.data(), reply_n);
  size_t sense_n = std::min(done.sense.size(), static_cast<size_t>(max_sense));
  if (sense_n) std::memcpy(sense_ptr, done.sense.data(), sense_n);
  if (sense_n) r.log["sense"] = ToHex(done.sense.data(), sense_n);
}

}  // namespace

IoctlResult DriverIoctl(json& state, unsigned long request, void* arg) {
  IoctlResult r;
  r.log["request"] = request;
  auto* rec = static_cast<uint8_t*>(arg);
  if (!rec) {
    Fail(r, EFAULT);
  } else if (request == kIoctlAdapterInfo) {
    AdapterInfo(state, rec, r);
  } else if (request == kIoctlPassThrough) {
    PassThrough(state, rec, r);
  } else if (request == kIoctlReset) {
    Reset(state, rec, r);
  } else {
    // The 32-bit pass-through record cannot carry this process's pointers.
    Fail(r, ENOTTY);
  }
  r.log["result"] = r.result;
  if (r.err) {
    r.log["errno"] = r.err;
    r.log["error"] = ErrnoName(r.err);
  }
  return r;
}

}  // namespace vxtsim
