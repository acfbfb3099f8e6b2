// The records exchanged with the control node's driver, in the driver's own
// layout for this word size.  These are our memory, not firmware data, so they
// are plain structs; the message frame inside is handled as bytes.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr char kDriverNodePath[] = "/dev/vxtctl";
inline constexpr unsigned kDriverNodeMajor = 10;
inline constexpr unsigned kDriverNodeMinor = 220;

inline constexpr size_t kMessageFrameBytes = 131;
inline constexpr uint32_t kReplyBufferBytes = 128;
inline constexpr uint32_t kSenseBufferBytes = 64;

// Linux ioctl number encoding: read-write, type 'm'.
constexpr unsigned long DriverRequestCode(unsigned number, size_t size) {
  return (3UL << 30) | (static_cast<unsigned long>(size) << 16) | (0x6DUL << 8) | number;
}

template <size_t FrameBytes>
struct PassThroughRecordOf {
  uint32_t ControllerNumber;
  uint32_t Port;
  int32_t MaxDataSize;
  int32_t TimeoutSeconds;
  void* ReplyBuffer;
  void* DataIn;
  void* DataOut;
  void* SenseBuffer;
  int32_t MaxReplyBytes;
  int32_t DataInSize;
  int32_t DataOutSize;
  int32_t MaxSenseBytes;
  int32_t DataSgeOffset;
  uint8_t MessageFrame[FrameBytes];
};

using PassThroughRecord = PassThroughRecordOf<kMessageFrameBytes>;
// The driver sizes its request code by the record declared with a one-byte
// trailing frame, so the code's size field is that struct's padded size.
using PassThroughRecordHead = PassThroughRecordOf<1>;

inline constexpr uint32_t kPassThroughRecordBytes =
    offsetof(PassThroughRecord, MessageFrame) + kMessageFrameBytes;
inline constexpr unsigned long kPassThroughCode =
    DriverRequestCode(20, sizeof(PassThroughRecordHead));

struct AdapterInfoRecord {
  uint32_t ControllerNumber;
  uint32_t Port;
  int32_t MaxDataSize;
  uint32_t Reserved1[2];
  uint32_t PciDeviceId;
  uint32_t Reserved2;
  uint32_t SubsystemDeviceId;
  uint32_t SubsystemVendorId;
  uint32_t Reserved3[12];
  uint32_t PciLocation;
  uint32_t PciSegment;
};
inline constexpr unsigned long kAdapterInfoCode = DriverRequestCode(17, sizeof(AdapterInfoRecord));

struct ResetRecord {
  uint32_t ControllerNumber;
  uint32_t Port;
  int32_t MaxDataSize;
};
inline constexpr unsigned long kResetCode = DriverRequestCode(24, sizeof(ResetRecord));

static_assert(offsetof(AdapterInfoRecord, PciDeviceId) == 20);
static_assert(offsetof(AdapterInfoRecord, SubsystemDeviceId) == 28);
static_assert(offsetof(AdapterInfoRecord, SubsystemVendorId) == 32);
static_assert(offsetof(AdapterInfoRecord, PciLocation) == 84);
static_assert(offsetof(AdapterInfoRecord, PciSegment) == 88);
static_assert(sizeof(AdapterInfoRecord) == 92 && kAdapterInfoCode == 0xC05C6D11UL);
static_assert(sizeof(ResetRecord) == 12 && kResetCode == 0xC00C6D18UL);

#if UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu
static_assert(offsetof(PassThroughRecord, TimeoutSeconds) == 12);
static_assert(offsetof(PassThroughRecord, ReplyBuffer) == 16);
static_assert(offsetof(PassThroughRecord, DataIn) == 24);
static_assert(offsetof(PassThroughRecord, DataOut) == 32);
static_assert(offsetof(PassThroughRecord, SenseBuffer) == 40);
static_assert(offsetof(PassThroughRecord, MaxReplyBytes) == 48);
static_assert(offsetof(PassThroughRecord, DataInSize) == 52);
static_assert(offsetof(PassThroughRecord, DataOutSize) == 56);
static_assert(offsetof(PassThroughRecord, MaxSenseBytes) == 60);
static_assert(offsetof(PassThroughRecord, DataSgeOffset) == 64);
static_assert(offsetof(PassThroughRecord, MessageFrame) == 68);
static_assert(kPassThroughRecordBytes == 199 && kPassThroughCode == 0xC0486D14UL);
#elif UINTPTR_MAX == 0xFFFFFFFFu
static_assert(offsetof(PassThroughRecord, ReplyBuffer) == 16);
static_assert(offsetof(PassThroughRecord, SenseBuffer) == 28);
static_assert(offsetof(PassThroughRecord, DataSgeOffset) == 48);
static_assert(offsetof(PassThroughRecord, MessageFrame) == 52);
static_assert(kPassThroughRecordBytes == 183 && kPassThroughCode == 0xC0386D14UL);
#endif
