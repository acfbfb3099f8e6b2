// The reply and sense data of the controller's last request: the request
// layer's scratch space, read only by its own .cc files.  Callers outside
// src/vxt/ get what a named call decoded from them (and a RequestStatus
// where they tell failures apart), never the raw reply.
#pragma once

#include "vxt/vxt.h"

inline ConstBytes LastReply(const ControllerInfo& c) {
  return {c.Request.ReplyBuffer, c.Request.ReplyBuffer ? c.Request.ReplyBufferLength : 0u};
}
inline ConstBytes LastSense(const ControllerInfo& c) {
  return {c.Request.SenseBuffer, c.Request.SenseBuffer ? c.Request.SenseBufferLength : 0u};
}

// Whether the reply frame in ReplyBuffer answers the request in the message
// frame (the same function code): false after a request the driver completed
// without a reply frame, which brought back no data of its own.
inline bool ReplyAnswersRequest(const ControllerInfo& c) {
  ConstBytes frame{c.Request.MessageFrame, c.Request.MessageFrame ? kMessageFrameBytes : 0u};
  return !frame.empty() &&
         GetU8(LastReply(c), kReplyFunctionOffset) == GetU8(frame, kFrameFunctionOffset);
}

// Hands the status of the last request to a caller that asked for it.
inline void ReportStatus(const ControllerInfo& c, RequestStatus* status) {
  if (status != nullptr) *status = c.Request.Status;
}
