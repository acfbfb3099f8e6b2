#include "vxt/sata_identify.h"

#include "vxt/last_reply.h"

namespace {

constexpr size_t kSataFrameBytes = 60;
constexpr size_t kSataSgeOffset = 48;
constexpr uint32_t kSataTimeoutSeconds = 3;
constexpr uint16_t kPassThroughDataIn = 0x01;
constexpr uint16_t kPassThroughPio = 0x10;
constexpr uint8_t kFisRegisterHostToDevice = 0x27;
constexpr uint8_t kFisCommandBit = 0x80;
constexpr uint8_t kAtaIdentifyDevice = 0xEC;
constexpr uint8_t kDeviceRegister = 0x10;

}  // namespace

int AtaIdentify(ControllerInfo* c, uint8_t target_id, uint8_t bus, uint8_t* buffer, uint32_t length,
                RequestStatus* status) {
  PrepareRequest(c, kFunctionSataPassthrough, kSataFrameBytes, kSataTimeoutSeconds, kSataSgeOffset);
  c->Request.Direction = 1;
  c->Request.DataBuffer = buffer;
  c->Request.DataLength = length;
  MutableBytes frame = Frame(c);
  // This message carries no context word, unlike the other requests.
  PutU32(frame, kFrameContextOffset, 0);
  PutU8(frame, 0, target_id);
  PutU8(frame, 1, bus);
  PutU16(frame, 4, kPassThroughDataIn | kPassThroughPio);
  PutU32(frame, 24, length);
  PutU8(frame, 28, kFisRegisterHostToDevice);
  PutU8(frame, 29, kFisCommandBit);
  PutU8(frame, 30, kAtaIdentifyDevice);
  PutU8(frame, 35, kDeviceRegister);
  int sent = WasSent(SendRequest(c, &c->Request)) ? 1 : 0;
  ReportStatus(*c, status);
  return sent;
}
