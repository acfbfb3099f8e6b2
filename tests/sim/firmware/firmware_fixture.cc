#include "sim/firmware/firmware_fixture.h"

#include <cstring>

#include "document/state_file.h"
#include "driver/driver.h"
#include "model/protocol.h"

namespace vxtsim_test {

namespace {

template <typename T>
void Store(Bytes& rec, size_t off, T value) {
  std::memcpy(rec.data() + off, &value, sizeof value);
}

// One request on the state document, as the interposer's simulator would
// serve it: the document is read, and written back when the request changed
// something. Tests may edit the document between requests.
void Serve(json& state, unsigned long request, void* record, Exchange& x) {
  vxtsim::Model model = vxtsim::ModelOf(state, "state");
  vxtsim::IoctlResult r = vxtsim::DriverIoctl(model, request, record);
  if (r.changed) state = vxtsim::WriteModel(model);
  x.result = r.result;
  x.err = r.err;
  x.log = json::parse(r.log.Json());
}

}  // namespace

Exchange Firmware::Send(const PassThroughArgs& args) {
  namespace pt = vxtsim::pt;
  Exchange x;
  x.reply.assign(128, 0xFF);
  x.data.assign(args.data_in, 0xFF);
  Bytes out = args.data_out;
  Bytes rec(pt::kRecordSize, 0);
  Store<uint32_t>(rec, pt::kController, args.controller);
  Store<int32_t>(rec, pt::kMaxDataSize, pt::kRecordSize);
  Store<int32_t>(rec, pt::kTimeout, 10);
  Store<uint8_t*>(rec, pt::kReplyPtr, x.reply.data());
  Store<uint8_t*>(rec, pt::kDataInPtr, args.data_in ? x.data.data() : nullptr);
  Store<uint8_t*>(rec, pt::kDataOutPtr, out.empty() ? nullptr : out.data());
  Bytes sense(64, 0);
  Store<uint8_t*>(rec, pt::kSensePtr, sense.data());
  Store<int32_t>(rec, pt::kMaxSense, 64);
  Store<int32_t>(rec, pt::kMaxReply, args.max_reply);
  Store<int32_t>(rec, pt::kDataInSize, static_cast<int32_t>(args.data_in));
  Store<int32_t>(rec, pt::kDataOutSize, static_cast<int32_t>(out.size()));
  Store<uint32_t>(rec, pt::kSgeOffset, args.sge_words);
  std::memcpy(rec.data() + pt::kFrame, args.frame.data(),
              std::min(args.frame.size(), pt::kFrameSize));
  Serve(state_, vxtsim::kIoctlPassThrough, rec.data(), x);
  return x;
}

// Adapter information and reset records: controller number and size.
static Exchange DriverRecord(json& state, unsigned long request, size_t size, uint32_t controller) {
  Exchange x;
  x.data.assign(size, 0);
  Store<uint32_t>(x.data, 0, controller);
  Store<int32_t>(x.data, 8, static_cast<int32_t>(size));
  Serve(state, request, x.data.data(), x);
  return x;
}

Exchange Firmware::AdapterInfo(uint32_t controller) {
  return DriverRecord(state_, vxtsim::kIoctlAdapterInfo, vxtsim::ai::kRecordSize, controller);
}

Exchange Firmware::Reset(uint32_t controller) {
  return DriverRecord(state_, vxtsim::kIoctlReset, vxtsim::kResetRecordSize, controller);
}

Bytes Firmware::ConfigFrame(uint8_t action, uint8_t type, uint8_t number, uint32_t address,
                            uint8_t ext_type) {
  Bytes f(40, 0);
  f[0] = action;
  f[3] = 0x04;
  f[6] = ext_type;
  vxtsim::Put32(f, 8, 0x0111BEEF);
  f[22] = number;
  f[23] = type;
  vxtsim::Put32(f, 24, address);
  return f;
}

Exchange Firmware::ReadPage(uint32_t controller, uint8_t action, uint8_t type, uint8_t number,
                            uint32_t address, uint8_t ext_type) {
  Exchange header = Send({controller, ConfigFrame(0, type, number, 0, ext_type)});
  if (header.result != 0 || header.status() != 0) return header;
  Bytes f = ConfigFrame(action, type, number, address, ext_type);
  f[20] = header.reply[20];
  size_t words = header.reply[21];
  if (type == 0x0F) {
    words = vxtsim::Get16(header.reply, 4);
    vxtsim::Put16(f, 4, words);
  } else {
    f[21] = header.reply[21];
  }
  return Send({controller, f, words * 4});
}

Exchange Firmware::WritePage(uint32_t controller, uint8_t action, const Bytes& page) {
  Bytes f = ConfigFrame(action, page[3], page[2]);
  std::memcpy(&f[20], page.data(), 4);
  return Send({controller, f, 0, page});
}

Bytes Firmware::BlankPage(uint32_t controller, uint8_t type, uint8_t number) {
  Exchange header = Send({controller, ConfigFrame(0, type, number)});
  Bytes page(size_t{header.reply[21]} * 4, 0);
  std::memcpy(page.data(), &header.reply[20], std::min<size_t>(4, page.size()));
  return page;
}

Exchange Firmware::RaidAction(uint32_t controller, uint8_t action, uint8_t volume_id,
                              uint8_t volume_bus, uint8_t phys_disk_num, uint32_t data_word,
                              const Bytes& data) {
  Bytes f(32, 0);
  f[0] = action;
  f[3] = 0x15;
  f[4] = volume_id;
  f[5] = volume_bus;
  f[6] = phys_disk_num;
  vxtsim::Put32(f, 8, 0x0111BEEF);
  vxtsim::Put32(f, 16, data_word);
  PassThroughArgs args(controller, f, 0, data);
  args.sge_words = 5;
  return Send(args);
}

}  // namespace vxtsim_test
