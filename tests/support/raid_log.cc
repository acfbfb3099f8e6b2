#include "support/raid_log.h"

namespace volkit_test {

ByteVector HexBytes(const std::string& hex) {
  ByteVector bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

ByteVector FrameBytes(const json& line, size_t n) { return HexBytes(FrameHex(line, n)); }

namespace {

uint32_t Le32(const ByteVector& b, size_t at) {
  return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 |
         uint32_t{b[at + 3]} << 24;
}

ByteVector DataOut(const json& line) { return HexBytes(line.value("data_out", "")); }

}  // namespace

std::vector<LoggedAction> RaidActions(const VolkitRun& run) {
  std::vector<LoggedAction> actions;
  for (const json& line : run.Ioctls(0x15)) {
    ByteVector f = FrameBytes(line, 20);
    ByteVector reply = HexBytes(line.value("reply", ""));
    uint32_t action_status = reply.size() >= 14 ? reply[12] | reply[13] << 8 : 0;
    bool ok = line.value("ioc_status", 0) == 0 && (action_status == 0 || action_status == 3);
    actions.push_back({f[0], f[4], f[5], f[6], Le32(f, 16), DataOut(line), ok});
  }
  return actions;
}

std::vector<LoggedTransfer> BlockTransfers(const VolkitRun& run) {
  std::vector<LoggedTransfer> transfers;
  for (const json& line : run.Ioctls()) {
    int function = line.value("function", -1);
    if (function != 0x00 && function != 0x16) continue;
    ByteVector f = FrameBytes(line, 40);
    uint8_t opcode = f[24];
    if (opcode != 0x08 && opcode != 0x0A && opcode != 0x28 && opcode != 0x2A) continue;
    ByteVector cdb(f.begin() + 24, f.begin() + 24 + f[4]);
    transfers.push_back({function, f[0], cdb, DataOut(line)});
  }
  return transfers;
}

std::vector<ByteVector> PageWrites(const VolkitRun& run, int page_type, int page_number) {
  std::vector<ByteVector> writes;
  for (const json& line : run.Ioctls(0x04)) {
    ByteVector f = FrameBytes(line, 24);
    bool write = f[0] == 0x02 || f[0] == 0x04;
    if (write && f[23] == page_type && f[22] == page_number) writes.push_back(DataOut(line));
  }
  return writes;
}

int PhysDiskState(const VolkitRun& run, int num) {
  const json& controller = run.state.at("controllers").at(0);
  if (!controller.contains("raid")) return -1;
  for (const json& pd : controller["raid"].value("phys_disks", json::array())) {
    if (pd.value("num", -1) == num) return pd.value("state", 0);
  }
  return -1;
}

}  // namespace volkit_test
