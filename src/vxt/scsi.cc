// SCSI command builders: one frame layout, a CDB per command, and the repeat
// loop driven by the reply classification.
#include "vxt/scsi.h"

#include <cstring>

#include "vxt/last_reply.h"

namespace {

constexpr size_t kScsiFrameBytes = 60;
constexpr size_t kScsiSgeOffset = 48;
constexpr uint32_t kScsiTimeoutSeconds = 30;
constexpr uint32_t kFormatTimeoutSeconds = 18000;
constexpr uint32_t kControlRead = 0x02000500;
constexpr uint32_t kControlWrite = 0x00000500;
constexpr uint32_t kControlNone = 0x00000000;
constexpr uint32_t kLargestShortLba = 0x1FFFFF;
constexpr uint16_t kLargestShortCount = 256;
constexpr size_t kScsiReplyTransferCountOffset = 20;

// Fields of the SCSI I/O frame (the RAID-member pass-through uses the same
// layout).
constexpr size_t kScsiTargetId = 0;
constexpr size_t kScsiBus = 1;
constexpr size_t kScsiCdbLength = 4;
constexpr size_t kScsiSenseLength = 5;
constexpr size_t kScsiLun = 13;
constexpr size_t kScsiControl = 20;
constexpr size_t kScsiCdb = 24;
constexpr size_t kScsiDataLength = 40;
constexpr size_t kScsiSenseAddress = 44;

struct ScsiCommand {
  int Path;
  uint8_t Target;
  uint8_t Lun;
  uint8_t Cdb[16];
  uint8_t CdbLength;
  uint32_t Control;
  uint32_t Direction;
  uint32_t Timeout;
  uint8_t* Data;
  uint32_t DataLength;
  bool FillData;  // kNotDeliveredByte wherever a try delivers nothing
  int Class;
};

void BuildScsiRequest(ControllerInfo* c, const ScsiCommand& cmd) {
  uint8_t function = cmd.Path == kScsiPathPlain ? kFunctionScsiIo : kFunctionRaidPassthrough;
  PrepareRequest(c, function, kScsiFrameBytes, cmd.Timeout, kScsiSgeOffset);
  if (cmd.FillData) std::memset(cmd.Data, kNotDeliveredByte, cmd.DataLength);
  c->Request.Direction = cmd.Direction;
  c->Request.DataBuffer = cmd.Data;
  c->Request.DataLength = cmd.DataLength;
  MutableBytes frame = Frame(c);
  PutU8(frame, kScsiTargetId, cmd.Target);
  PutU8(frame, kScsiBus, 0);
  PutU8(frame, kScsiCdbLength, cmd.CdbLength);
  PutU8(frame, kScsiSenseLength, static_cast<uint8_t>(c->Request.SenseBufferLength));
  PutU8(frame, kScsiLun, cmd.Lun);
  PutU32(frame, kScsiControl, cmd.Control);
  for (size_t i = 0; i < cmd.CdbLength; ++i) PutU8(frame, kScsiCdb + i, cmd.Cdb[i]);
  PutU32(frame, kScsiDataLength, cmd.DataLength);
  PutU32(frame, kScsiSenseAddress, 0);
}

// Sends the command, repeating the whole request while the reply says a
// repeat may help and the budget lasts.
int RunScsiCommand(ControllerInfo* c, const ScsiCommand& cmd, int retries) {
  for (;;) {
    BuildScsiRequest(c, cmd);
    if (!WasSent(SendRequest(c, &c->Request))) return kScsiFailure;
    int result = ClassifyScsiReply(cmd.Class, LastReply(*c), LastSense(*c));
    if (result != kScsiRepeat) return result;
    if (retries <= 0) return kScsiFailure;
    --retries;
  }
}

ScsiCommand DataInCommand(ScsiAddress to, uint8_t* data, uint32_t length) {
  ScsiCommand cmd{};
  cmd.Path = to.Path;
  cmd.Target = to.Target;
  cmd.Lun = to.Lun;
  cmd.Control = kControlRead;
  cmd.Direction = 1;
  cmd.Timeout = kScsiTimeoutSeconds;
  cmd.Data = data;
  cmd.DataLength = length;
  cmd.Class = kScsiClassOther;
  return cmd;
}

// The last SCSI command succeeded with less data than it asked for: a read
// then left part of its buffer as it was.
bool LastScsiTransferShort(const ControllerInfo& c) {
  return ReplyIocStatus(LastReply(c)) == kIocStatusScsiDataUnderrun;
}

int WholeOrFailure(const ControllerInfo& c, int result) {
  return result == kScsiSuccess && LastScsiTransferShort(c) ? kScsiFailure : result;
}

}  // namespace

int ScsiInquiry(ControllerInfo* c, ScsiAddress to, InquiryPage page, uint8_t* buffer,
                uint32_t length, int retries, uint32_t* delivered) {
  ScsiCommand cmd = DataInCommand(to, buffer, length);
  cmd.CdbLength = 6;
  cmd.Cdb[0] = 0x12;
  if (page.Vpd) {
    cmd.Cdb[1] = 1;
    cmd.Cdb[2] = page.Code;
  }
  cmd.Cdb[4] = static_cast<uint8_t>(length);
  cmd.FillData = true;
  int result = RunScsiCommand(c, cmd, retries);
  if (result == kScsiSuccess && delivered != nullptr) {
    *delivered = GetU32(LastReply(*c), kScsiReplyTransferCountOffset);
  }
  return result;
}

int ScsiReadCapacity(ControllerInfo* c, ScsiAddress to, uint32_t* blocks, uint32_t* block_length,
                     int retries) {
  uint8_t data[8] = {};
  ScsiCommand cmd = DataInCommand(to, data, sizeof data);
  cmd.CdbLength = 10;
  cmd.Cdb[0] = 0x25;
  int result = RunScsiCommand(c, cmd, retries);
  if (result == kScsiSuccess) {
    *blocks = GetBe32(data, 0) + 1;
    *block_length = GetBe32(data, 4);
  }
  return result;
}

int ScsiReadCapacityWhole(ControllerInfo* c, ScsiAddress to, uint32_t* blocks,
                          uint32_t* block_length, int retries) {
  return WholeOrFailure(*c, ScsiReadCapacity(c, to, blocks, block_length, retries));
}

int ScsiReadWrite(ControllerInfo* c, ScsiAddress to, ScsiTransfer transfer, uint32_t block_address,
                  uint16_t block_count, uint8_t* buffer, uint32_t length, int retries) {
  const bool write = transfer == ScsiTransfer::kWrite;
  ScsiCommand cmd = DataInCommand(to, buffer, length);
  if (write) {
    cmd.Control = kControlWrite;
    cmd.Direction = 0;
  }
  if (block_address > kLargestShortLba || block_count > kLargestShortCount) {
    cmd.CdbLength = 10;
    cmd.Cdb[0] = write ? 0x2A : 0x28;
    PutBe32(cmd.Cdb, 2, block_address);
    PutBe16(cmd.Cdb, 7, block_count);
  } else {
    cmd.CdbLength = 6;
    cmd.Cdb[0] = write ? 0x0A : 0x08;
    cmd.Cdb[1] = static_cast<uint8_t>((block_address >> 16) & 0x1F);
    cmd.Cdb[2] = static_cast<uint8_t>(block_address >> 8);
    cmd.Cdb[3] = static_cast<uint8_t>(block_address);
    cmd.Cdb[4] = static_cast<uint8_t>(block_count);
  }
  int result = RunScsiCommand(c, cmd, retries);
  return transfer == ScsiTransfer::kReadWhole ? WholeOrFailure(*c, result) : result;
}

int ScsiFormatUnit(ControllerInfo* c, ScsiAddress to, int retries) {
  ScsiCommand cmd{};
  cmd.Path = to.Path;
  cmd.Target = to.Target;
  cmd.Lun = to.Lun;
  cmd.CdbLength = 6;
  cmd.Cdb[0] = 0x04;
  cmd.Control = kControlNone;
  cmd.Direction = 0;
  cmd.Timeout = kFormatTimeoutSeconds;
  cmd.Class = kScsiClassFormat;
  return RunScsiCommand(c, cmd, retries);
}
