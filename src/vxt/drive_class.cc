#include "vxt/drive_class.h"

#include "vxt/scsi.h"

namespace {

constexpr uint8_t kVpdSupportedPages = 0x00;
constexpr uint8_t kVpdBlockCharacteristics = 0xB1;
constexpr uint16_t kNonRotatingMedium = 1;
constexpr uint8_t kDeviceTypeDisk = 0x00;
constexpr uint8_t kDeviceTypeSimplifiedDisk = 0x0E;
constexpr uint8_t kRemovableMedium = 0x80;

bool ListsPage(ConstBytes supported, uint8_t page_code) {
  size_t length = GetU8(supported, 3);
  for (size_t i = 4; i < 4 + length && i < supported.size(); ++i) {
    if (supported[i] == page_code) return true;
  }
  return false;
}

}  // namespace

bool IsFixedDisk(ConstBytes inquiry) {
  uint8_t type = GetU8(inquiry, 0);
  return inquiry.size() >= 2 && (type == kDeviceTypeDisk || type == kDeviceTypeSimplifiedDisk) &&
         !(GetU8(inquiry, 1) & kRemovableMedium);
}

int TestSsd(ControllerInfo* c, ScsiAddress to, int* is_ssd) {
  uint8_t buffer[kFullInquiryBytes];
  *is_ssd = 0;
  int result = ScsiInquiry(c, to, VpdPage(kVpdSupportedPages), buffer, sizeof buffer, 1);
  if (result != kScsiSuccess) return result;
  if (!ListsPage(buffer, kVpdBlockCharacteristics)) return kScsiSuccess;
  result = ScsiInquiry(c, to, VpdPage(kVpdBlockCharacteristics), buffer, sizeof buffer, 1);
  if (result != kScsiSuccess) return result;
  *is_ssd = GetBe16(buffer, 4) == kNonRotatingMedium;
  return kScsiSuccess;
}
