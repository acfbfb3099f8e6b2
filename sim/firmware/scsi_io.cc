#include "firmware/scsi_io.h"

#include <algorithm>

#include "firmware/layouts.h"
#include "firmware/scsi_data.h"
#include "firmware/scsi_layouts.h"
#include "firmware/scsi_target.h"
#include "model/protocol.h"

namespace vxtsim {

namespace {

namespace S = layout::scsi_frame;
namespace A = layout::sata_frame;
namespace C = layout::cdb;

constexpr uint32_t kScsiSgeWords = 12;

enum SenseKey : uint8_t { kNotReady = 2, kIllegalRequest = 5 };

struct Cdb {
  Bytes b;
  uint8_t op() const { return b[C::kOpcode]; }
};

uint32_t BigEndian(const Bytes& b, size_t off, size_t width) {
  uint32_t v = 0;
  for (size_t i = 0; i < width; ++i) v = v << 8 | b[off + i];
  return v;
}

void Deliver(const Bytes& data, size_t allocation, Completion& out) {
  out.data_in.assign(data.begin(),
                     data.begin() + static_cast<long>(std::min(data.size(), allocation)));
  if (out.data_in.size() < allocation) SetIocStatus(out.reply, kStatusScsiDataUnderrun);
  Put32(out.reply, S::kReplyTransferCount, out.data_in.size());
}

void Inquiry(const ScsiTarget& t, const Cdb& cdb, size_t room, Completion& out) {
  size_t allocation = std::min<size_t>(BigEndian(cdb.b, C::kInquiryAllocation, 2), room);
  Bytes data;
  if (t.volume) {
    if (cdb.b[C::kInquiryFlags] & 1) return CheckCondition(out, kIllegalRequest, 0x24, 0);
    data = VolumeInquiry(*t.volume);
  } else if (cdb.b[C::kInquiryFlags] & 1) {
    if (!VpdPage(*t.disk, cdb.b[C::kInquiryPage], data))
      return CheckCondition(out, kIllegalRequest, 0x24, 0);
  } else {
    data = StandardInquiry(*t.disk);
  }
  Deliver(data, allocation, out);
}

void ReadCapacity(const ScsiTarget& t, size_t room, Completion& out) {
  Bytes data(8, 0);
  uint64_t last = t.blocks ? t.blocks - 1 : 0;
  if (last > 0xFFFFFFFF) last = 0xFFFFFFFF;
  for (int i = 0; i < 4; ++i) {
    data[i] = static_cast<uint8_t>(last >> (24 - 8 * i));
    data[4 + i] = static_cast<uint8_t>(t.block_size >> (24 - 8 * i));
  }
  Deliver(data, std::min<size_t>(8, room), out);
}

void ReadWrite(const ScsiTarget& t, const Cdb& cdb, const Message& msg, Completion& out) {
  bool ten = cdb.op() == 0x28 || cdb.op() == 0x2A;
  bool write = cdb.op() == 0x0A || cdb.op() == 0x2A;
  uint64_t lba =
      ten ? BigEndian(cdb.b, C::kRw10Lba, 4) : BigEndian(cdb.b, C::kRw6Lba, 3) & 0x1FFFFF;
  uint32_t count = ten ? BigEndian(cdb.b, C::kRw10Count, 2) : cdb.b[C::kRw6Count];
  if (!ten && count == 0) count = 256;
  if (lba + count > t.blocks) return CheckCondition(out, kIllegalRequest, 0x21, 0);
  size_t bytes = size_t{count} * t.block_size;
  if (write) {
    Bytes data = msg.data_out;
    data.resize(bytes, 0);
    for (BlockStore* store : t.stores) WriteBlocks(*store, lba, count, t.block_size, data);
    out.changed = true;
    Put32(out.reply, S::kReplyTransferCount, std::min(bytes, msg.data_out.size()));
    if (msg.data_out.size() < bytes) SetIocStatus(out.reply, kStatusScsiDataUnderrun);
    return;
  }
  Bytes data;
  ReadBlocks(*t.stores.front(), lba, count, t.block_size, data);
  Deliver(data, std::min(bytes, msg.data_in_size), out);
}

void FormatUnit(const ScsiTarget& t, Completion& out) {
  // A volume's members are not the volume's to format.
  (t.disk ? t.disk->block_data : t.volume->block_data) = BlockStore();
  out.busy_ms = t.disk ? t.disk->format_ms.value : kDefaultFormatMs;
  out.changed = true;
}

}  // namespace

void CheckCondition(Completion& out, uint8_t key, uint8_t asc, uint8_t ascq) {
  out.data_in.clear();
  Put8(out.reply, S::kReplyScsiStatus, 0x02);  // check condition
  Put8(out.reply, S::kReplyScsiState, S::kStateAutosenseValid);
  Put32(out.reply, S::kReplyTransferCount, 0);
  namespace D = layout::sense_data;
  Put32(out.reply, S::kReplySenseCount, D::kSize);
  out.sense.assign(D::kSize, 0);
  out.sense[D::kResponseCode] = 0x70;  // current error, fixed format
  out.sense[D::kSenseKey] = key;
  out.sense[D::kAdditionalLength] = D::kSize - (D::kAdditionalLength + 1);
  out.sense[D::kAsc] = asc;
  out.sense[D::kAscq] = ascq;
}

void HandleScsiIo(Controller& ctl, const Message& msg, Completion& out) {
  out.reply = StartReply(msg.frame, kScsiReplySize, kStatusSuccess);
  Put8(out.reply, S::kTargetId, Get8(msg.frame, S::kTargetId));
  Put8(out.reply, S::kBus, Get8(msg.frame, S::kBus));
  if (msg.HasData() && msg.sge_offset != kScsiSgeWords) {
    return SetIocStatus(out.reply, kStatusInvalidSgl);
  }
  uint8_t cdb_length = Get8(msg.frame, S::kCdbLength);
  if (cdb_length != 6 && cdb_length != 10 && cdb_length != 12 && cdb_length != 16) {
    return SetIocStatus(out.reply, kStatusInvalidField);
  }
  bool member_path = Get8(msg.frame, layout::frame::kFunction) == kFnRaidPassThrough;
  ScsiTarget t =
      FindScsiTarget(ctl, member_path, Get8(msg.frame, S::kBus), Get8(msg.frame, S::kTargetId));
  if (!t || Get8(msg.frame, S::kLun) != 0) {
    return SetIocStatus(out.reply, kStatusScsiDeviceNotThere);
  }
  Cdb cdb{Bytes(msg.frame.begin() + S::kCdb, msg.frame.begin() + S::kCdb + cdb_length)};
  cdb.b.resize(16, 0);
  bool not_ready = t.disk && t.disk->not_ready;
  if (not_ready && cdb.op() != 0x12) return CheckCondition(out, kNotReady, 0x04, 0x01);
  switch (cdb.op()) {
    case 0x00:
      break;
    case 0x12:
      Inquiry(t, cdb, msg.data_in_size, out);
      break;
    case 0x25:
      ReadCapacity(t, msg.data_in_size, out);
      break;
    case 0x08:
    case 0x0A:
    case 0x28:
    case 0x2A:
      ReadWrite(t, cdb, msg, out);
      break;
    case 0x04:
      FormatUnit(t, out);
      break;
    default:
      CheckCondition(out, kIllegalRequest, 0x20, 0);
      break;
  }
}

void HandleSataPassThrough(Controller& ctl, const Message& msg, Completion& out) {
  out.reply = StartReply(msg.frame, A::kReplySize, kStatusSuccess);
  if (msg.HasData() && msg.sge_offset != kScsiSgeWords) {
    return SetIocStatus(out.reply, kStatusInvalidSgl);
  }
  const Device* dev = DiskAt(ctl, Get8(msg.frame, A::kBus), Get8(msg.frame, A::kTargetId));
  if (!dev || dev->protocol != Protocol::kSata) {
    return SetIocStatus(out.reply, kStatusScsiDeviceNotThere);
  }
  // A host-to-device register FIS carrying IDENTIFY DEVICE, data in.
  bool identify = Get8(msg.frame, A::kFis + A::kFisType) == 0x27 &&
                  Get8(msg.frame, A::kFis + A::kFisFlags) == 0x80 &&
                  Get8(msg.frame, A::kFis + A::kFisCommand) == 0xEC &&
                  (Get16(msg.frame, A::kFlags) & 0x01);
  if (!identify) return SetIocStatus(out.reply, kStatusInvalidField);
  Bytes data = AtaIdentifyData(*dev);
  size_t room = std::min<size_t>(Get32(msg.frame, A::kDataLength), msg.data_in_size);
  out.data_in.assign(data.begin(), data.begin() + static_cast<long>(std::min(room, data.size())));
  Put8(out.reply, A::kReplyFis + A::kFisType, 0x34);    // device-to-host register FIS
  Put8(out.reply, A::kReplyFis + A::kFisStatus, 0x50);  // ready, seek complete
  Put32(out.reply, A::kReplyTransferCount, out.data_in.size());
}

}  // namespace vxtsim
