#include "support/read_requests.h"

namespace volkit_test {

bool IsReadRequest(const json& line) {
  if (line["kind"] == "adapter_info") return true;
  if (line["kind"] != "passthrough" || line["data_out"] != "") return false;
  const std::string frame = FrameHex(line, 36);
  auto byte = [&](size_t at) { return std::stoul(frame.substr(2 * at, 2), nullptr, 16); };
  switch (line["function"].get<int>()) {
    case 0x03:
    case 0x05:
      return true;
    case 0x04:
      return byte(0) == 0 || byte(0) == 1 || byte(0) == 5 || byte(0) == 6;
    case 0x15:
      return byte(0) == 1;
    case 0x00:
    case 0x16:
      return byte(24) == 0x12 || byte(24) == 0x25;
    case 0x1C:
      return byte(30) == 0xEC;
    case 0x18:
      return byte(4) == 1;
    default:
      return false;
  }
}

std::vector<json> RequestsNotReads(const std::vector<json>& log) {
  std::vector<json> changes;
  for (const json& line : log) {
    if (line.value("call", "") == "ioctl" && !IsReadRequest(line)) changes.push_back(line);
  }
  return changes;
}

}  // namespace volkit_test
