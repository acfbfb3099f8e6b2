// Controller context, driver channel and controller set-up.
//
// Result convention of this layer: 1 for success, 0 for failure.  Failures
// print nothing here; callers print their own messages.
#pragma once

#include <cstdint>

#include "vxt/adapter_info.h"
#include "vxt/byte_access.h"
#include "vxt/driver_records.h"

inline constexpr uint8_t kBusTypeSas = 3;
inline constexpr uint8_t kBusTypeScsi = 1;
inline constexpr uint32_t kContextWord = 0x0111BEEF;

// Function codes of the firmware request messages.
inline constexpr uint8_t kFunctionScsiIo = 0x00;
inline constexpr uint8_t kFunctionIocFacts = 0x03;
inline constexpr uint8_t kFunctionConfig = 0x04;
inline constexpr uint8_t kFunctionPortFacts = 0x05;
inline constexpr uint8_t kFunctionRaidAction = 0x15;
inline constexpr uint8_t kFunctionRaidPassthrough = 0x16;
inline constexpr uint8_t kFunctionSep = 0x18;
inline constexpr uint8_t kFunctionSataPassthrough = 0x1C;

// Where every message frame carries its function code and context word, and
// every reply frame the function it answers and its IocStatus.
inline constexpr size_t kFrameFunctionOffset = 3;
inline constexpr size_t kFrameContextOffset = 8;
inline constexpr size_t kReplyFunctionOffset = 3;
inline constexpr size_t kReplyIocStatusOffset = 14;

inline constexpr size_t kIocFactsBytes = 80;
inline constexpr size_t kPortFactsBytes = 40;

// What became of a request SendRequest was given.
enum class SendOutcome {
  kReplied,       // sent; the reply frame is in ReplyBuffer
  kNoReplyFrame,  // sent; the driver completed it without a reply frame, and
                  // ReplyBuffer holds zeros (a clean status)
  kRefused,       // not sent: the read-only gate refused it
  kDriverFailed,  // every try failed at the driver
};

inline bool WasSent(SendOutcome outcome) {
  return outcome == SendOutcome::kReplied || outcome == SendOutcome::kNoReplyFrame;
}

// How a request ended, for a caller that tells one failure from another (a
// page the controller lacks, an error of the driver).  The named calls that
// take a `RequestStatus*` fill it with their last request's.
struct RequestStatus {
  SendOutcome Outcome = SendOutcome::kReplied;
  uint16_t IocStatus = 0;  // the reply's, as it came; 0 when not sent
  int DriverError = 0;     // errno of the last try when the driver failed it
};

// Sent, and the reply's IocStatus (its log-information bit aside) is clear.
inline bool StatusOk(const RequestStatus& status) {
  return WasSent(status.Outcome) && (status.IocStatus & 0x7FFF) == 0;
}

struct RequestDescriptor {
  uint32_t Direction;  // only bit 0 counts: set means data in
  uint32_t TimeoutSeconds;
  int32_t RetriesLeft;
  uint8_t* SgePosition;
  uint8_t* DataBuffer;
  uint32_t DataLength;
  uint8_t* MessageFrame;
  uint8_t* ReplyBuffer;
  uint32_t ReplyBufferLength;
  uint8_t* SenseBuffer;
  uint32_t SenseBufferLength;
  uint32_t CommandRecordLength;
  PassThroughRecord* CommandRecord;
  RequestStatus Status;  // of the last request SendRequest was given
};

struct ControllerInfo {
  // Where the driver says the controller sits, and its number there.
  AdapterEntry Adapter;
  uint8_t BusType;
  uint8_t IocFacts[kIocFactsBytes];
  uint8_t PortFacts[kPortFactsBytes];
  RequestDescriptor Request;
  int DriverHandle;
  // Set for the machine-readable verbs: every request is checked against the
  // read-only list before it goes out, and one not on it fails unsent.
  bool ReadOnly;
  uint32_t RefusedRequests;
  // Firmware requests this context sent through the pass-through, retries
  // included: what the machine-readable verbs report as its requests.  A
  // reset is no firmware request, and adapter information is asked before
  // any context exists; neither counts.
  uint64_t RequestsSent;
};

// Fields of the stored controller-facts and port-facts replies.
inline uint8_t IocNumber(const ControllerInfo& c) { return GetU8(c.IocFacts, 6); }
inline uint16_t RequestFrameWords(const ControllerInfo& c) { return GetU16(c.IocFacts, 26); }
inline uint16_t ConcurrentCommands(const ControllerInfo& c) { return GetU16(c.IocFacts, 36); }
inline uint8_t BusCount(const ControllerInfo& c) { return GetU8(c.IocFacts, 47); }
// Firmware version as major, minor, unit, development bytes.
inline uint8_t FirmwareVersionByte(const ControllerInfo& c, int i) {
  return GetU8(c.IocFacts, 59 - i);
}
inline uint16_t DeviceLimit(const ControllerInfo& c) { return GetU16(c.PortFacts, 22); }
inline uint16_t InitiatorId(const ControllerInfo& c) { return GetU16(c.PortFacts, 24); }

// The status field of a reply frame, and whether it reports success.
inline uint16_t ReplyIocStatus(ConstBytes reply) { return GetU16(reply, kReplyIocStatusOffset); }
inline bool IocStatusOk(ConstBytes reply) { return (ReplyIocStatus(reply) & 0x7FFF) == 0; }

// Sends the request held in `request` through the controller's pass-through
// record and notes how it ended in its `Status`.  The reply status is the
// caller's to judge.
SendOutcome SendRequest(ControllerInfo* controller, RequestDescriptor* request);

// The common success test of the request builders: sent, and IocStatus clear.
int SendAndCheck(ControllerInfo* controller);

// Allocates the request buffers and reads controller and port facts.
// 0 on any failure, silently.
int VxtSetupIoc(ControllerInfo* PtrControllerInfo);

// 1 when the driver accepted the reset request, else 0 (also when a
// read-only context refused it unsent).
int ResetController(ControllerInfo* controller);

// Gives up the context's locks and frees it and its buffers; the driver
// handle stays open.
void ReleaseController(ControllerInfo* controller);

// Points the request at the frame and fills the fields every builder sets.
// Zeroes `frame_bytes` of the frame and writes the function code and context.
void PrepareRequest(ControllerInfo* controller, uint8_t function, size_t frame_bytes,
                    uint32_t timeout_seconds, size_t sge_offset);
inline MutableBytes Frame(ControllerInfo* c) {
  return {c->Request.MessageFrame, c->Request.MessageFrame ? kMessageFrameBytes : 0u};
}
