#include "vxt/vxt.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>

#include "vxt/driver_dispatch.h"
#include "vxt/last_reply.h"
#include "vxt/node_lock.h"
#include "vxt/vxt_assert.h"

namespace {

void ClearReplyToFill(RequestDescriptor* request) {
  std::memset(request->ReplyBuffer, 0xFF, request->ReplyBufferLength);
}

// The status field of a reply buffer still holding the fill pattern.
constexpr uint16_t kFillStatus = 0xFFFF;

int Dispatch(ControllerInfo* c, PassThroughRecord* record) {
  return DispatchDriverRequest(c, c->DriverHandle, kPassThroughCode, record);
}

// Controller and port facts bypass SendRequest: one try, no fill pattern.
int ReadFacts(ControllerInfo* c, uint8_t function, uint8_t* out, size_t out_bytes) {
  PassThroughRecord* record = c->Request.CommandRecord;
  record->ControllerNumber = c->Adapter.ControllerNumber;
  record->MaxDataSize = static_cast<int32_t>(c->Request.CommandRecordLength);
  record->TimeoutSeconds = 10;
  record->DataSgeOffset = 3;
  std::memset(record->MessageFrame, 0, 12);
  record->MessageFrame[kFrameFunctionOffset] = function;
  if (Dispatch(c, record) < 0) return 0;
  if (!IocStatusOk(LastReply(*c))) return 0;
  std::memcpy(out, c->Request.ReplyBuffer, out_bytes);
  return 1;
}

}  // namespace

SendOutcome SendRequest(ControllerInfo* controller, RequestDescriptor* request) {
  ClearReplyToFill(request);
  PassThroughRecord* record = request->CommandRecord;
  record->ControllerNumber = controller->Adapter.ControllerNumber;
  record->MaxDataSize = static_cast<int32_t>(request->CommandRecordLength);
  record->TimeoutSeconds = static_cast<int32_t>(request->TimeoutSeconds);
  if (request->MessageFrame[kFrameFunctionOffset] == kFunctionSep) {
    record->DataSgeOffset = 8;
  } else {
    record->DataSgeOffset =
        static_cast<int32_t>((request->SgePosition - request->MessageFrame) / 4);
  }
  if (request->Direction & 1) {
    record->DataIn = request->DataBuffer;
    record->DataInSize = static_cast<int32_t>(request->DataLength);
    record->DataOut = nullptr;
    record->DataOutSize = 0;
  } else {
    record->DataOut = request->DataBuffer;
    record->DataOutSize = static_cast<int32_t>(request->DataLength);
    record->DataIn = nullptr;
    record->DataInSize = 0;
  }
  request->Status = {};
  for (;;) {
    int sent = Dispatch(controller, record);
    if (sent == kDispatchRefused) {  // it would be refused again
      request->Status.Outcome = SendOutcome::kRefused;
      return request->Status.Outcome;
    }
    if (sent != -1) break;
    if (--request->RetriesLeft < 0) {
      request->Status = {SendOutcome::kDriverFailed, 0, errno};
      return request->Status.Outcome;
    }
  }
  ConstBytes reply{request->ReplyBuffer, request->ReplyBufferLength};
  // A driver that completes a request without writing a reply frame leaves the
  // fill pattern behind; such a request counts as a clean success.
  if (ReplyIocStatus(reply) == kFillStatus) {
    std::memset(request->ReplyBuffer, 0, request->ReplyBufferLength);
    request->Status.Outcome = SendOutcome::kNoReplyFrame;
    return request->Status.Outcome;
  }
  request->Status.IocStatus = ReplyIocStatus(reply);
  return request->Status.Outcome;
}

int SendAndCheck(ControllerInfo* controller) {
  SendRequest(controller, &controller->Request);
  return StatusOk(controller->Request.Status);
}

void PrepareRequest(ControllerInfo* c, uint8_t function, size_t frame_bytes,
                    uint32_t timeout_seconds, size_t sge_offset) {
  RequestDescriptor& r = c->Request;
  r.TimeoutSeconds = timeout_seconds;
  r.RetriesLeft = 1;
  r.SgePosition = r.MessageFrame + sge_offset;
  r.DataBuffer = nullptr;
  r.DataLength = 0;
  r.Direction = 0;
  std::memset(r.MessageFrame, 0, frame_bytes);
  r.MessageFrame[kFrameFunctionOffset] = function;
  PutU32(Frame(c), kFrameContextOffset, kContextWord);
}

int VxtSetupIoc(ControllerInfo* PtrControllerInfo) {
  VXT_ASSERT(PtrControllerInfo != nullptr, "PtrControllerInfo != ((void *)0)");
  ControllerInfo* c = PtrControllerInfo;
  RequestDescriptor& r = c->Request;

  r.CommandRecordLength = kPassThroughRecordBytes;
  r.CommandRecord = new (std::nothrow) PassThroughRecord{};
  if (r.CommandRecord == nullptr) return 0;
  r.MessageFrame = r.CommandRecord->MessageFrame;

  r.SenseBuffer = new (std::nothrow) uint8_t[kSenseBufferBytes]{};
  if (r.SenseBuffer == nullptr) return 0;
  r.SenseBufferLength = kSenseBufferBytes;
  r.CommandRecord->SenseBuffer = r.SenseBuffer;
  r.CommandRecord->MaxSenseBytes = kSenseBufferBytes;

  r.ReplyBuffer = new (std::nothrow) uint8_t[kReplyBufferBytes]{};
  if (r.ReplyBuffer == nullptr) return 0;
  r.ReplyBufferLength = kReplyBufferBytes;
  r.CommandRecord->ReplyBuffer = r.ReplyBuffer;
  r.CommandRecord->MaxReplyBytes = kReplyBufferBytes;

  if (!ReadFacts(c, kFunctionIocFacts, c->IocFacts, kIocFactsBytes)) return 0;
  if (!ReadFacts(c, kFunctionPortFacts, c->PortFacts, kPortFactsBytes)) return 0;
  return 1;
}

int ResetController(ControllerInfo* controller) {
  ResetRecord record{};
  record.ControllerNumber = controller->Adapter.ControllerNumber;
  record.MaxDataSize = sizeof(ResetRecord);
  return DispatchDriverRequest(controller, controller->DriverHandle, kResetCode, &record) == 0;
}

void ReleaseController(ControllerInfo* controller) {
  if (controller == nullptr) return;
  VxtUnlockController(controller);
  delete[] controller->Request.ReplyBuffer;
  delete[] controller->Request.SenseBuffer;
  delete controller->Request.CommandRecord;
  delete controller;
}
