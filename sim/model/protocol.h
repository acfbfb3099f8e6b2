// Numbers of the driver interface and the firmware message protocol that
// the model answers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vxtsim {

// Driver requests on the control node.
constexpr unsigned long kIoctlAdapterInfo = 0xC05C6D11;
constexpr unsigned long kIoctlPassThrough = 0xC0486D14;  // 64-bit record
constexpr unsigned long kIoctlPassThrough32 = 0xC0386D14;
constexpr unsigned long kIoctlReset = 0xC00C6D18;

// Pass-through record of a 64-bit caller.
namespace pt {
constexpr size_t kController = 0, kPort = 4, kMaxDataSize = 8, kTimeout = 12;
constexpr size_t kReplyPtr = 16, kDataInPtr = 24, kDataOutPtr = 32, kSensePtr = 40;
constexpr size_t kMaxReply = 48, kDataInSize = 52, kDataOutSize = 56, kMaxSense = 60;
constexpr size_t kSgeOffset = 64, kFrame = 68, kFrameSize = 131;
constexpr size_t kRecordSize = kFrame + kFrameSize;  // 199
}  // namespace pt

// Adapter information record.
namespace ai {
constexpr size_t kController = 0, kPort = 4, kMaxDataSize = 8, kPciDeviceId = 20;
constexpr size_t kSubsysDeviceId = 28, kSubsysVendorId = 32, kPciLocation = 84;
constexpr size_t kSegment = 88, kRecordSize = 92;
}  // namespace ai

constexpr size_t kResetRecordSize = 12;

// Message function codes.
enum Function : uint8_t {
  kFnScsiIo = 0x00,
  kFnIocFacts = 0x03,
  kFnConfig = 0x04,
  kFnPortFacts = 0x05,
  kFnRaidAction = 0x15,
  kFnRaidPassThrough = 0x16,
  kFnSep = 0x18,
  kFnSataPassThrough = 0x1C,
};

// Controller status codes of the reply head.
enum IocStatus : uint16_t {
  kStatusSuccess = 0x0000,
  kStatusInvalidFunction = 0x0001,
  kStatusBusy = 0x0002,
  kStatusInvalidSgl = 0x0003,
  kStatusInvalidField = 0x0007,
  kStatusConfigInvalidAction = 0x0020,
  kStatusConfigInvalidType = 0x0021,
  kStatusConfigInvalidPage = 0x0022,
  kStatusConfigInvalidData = 0x0023,
  kStatusScsiRecoveredError = 0x0040,
  kStatusScsiInvalidTarget = 0x0042,
  kStatusScsiDeviceNotThere = 0x0043,
  kStatusScsiDataUnderrun = 0x0045,
  kStatusScsiIoDataError = 0x0046,
  kStatusScsiProtocolError = 0x0047,
};

// Reply head offsets shared by every reply.
namespace reply {
constexpr size_t kLengthWords = 2, kFunction = 3, kContext = 8, kIocStatus = 14;
constexpr size_t kLogInfo = 16, kHeadSize = 20;
}  // namespace reply

constexpr uint32_t kNodeMajor = 10, kNodeMinor = 220;
constexpr const char* kNodePath = "/dev/vxtctl";

}  // namespace vxtsim
