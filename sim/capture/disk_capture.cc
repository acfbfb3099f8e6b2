// What each disk answers: INQUIRY (standard and the product data pages
// volkit asks for), READ CAPACITY, block 0 and, for SATA disks, IDENTIFY.
// RAID physical disks are asked through the RAID-member pass-through, as
// plain I/O no longer reaches them.
#include <algorithm>
#include <cstring>

#include "capture.h"
#include "lab_text.h"
#include "model/topology_state.h"
#include "vxt/pages.h"
#include "vxt/sata_identify.h"
#include "vxt/scsi.h"

namespace capture {

namespace {

constexpr size_t kKvrFruOffset = 114;
constexpr uint32_t kLargestBlock = 4096;

struct DiskAddress {
  int Path;
  uint8_t Address;  // target ID, or PhysDiskNum on the member path
  ScsiAddress To() const { return {Path, Address, 0}; }
  uint8_t Target;
  bool Sata;
  std::string Name;
};

// The bytes an inquiry delivered, as its reply counts them; all it asked
// for when the count is none or more.
size_t Delivered(uint32_t counted, size_t asked) {
  return counted > 0 && counted <= asked ? counted : asked;
}

// A text key from an INQUIRY field, with a patch for bytes it cannot carry.
void AddInquiryText(vxtsim::Device& dev, vxtsim::Given<std::string>& key, ConstBytes inquiry,
                    size_t offset, size_t width) {
  ConstBytes field = Slice(inquiry, offset, width);
  if (field.size() < width) return;
  std::string text;
  if (!FieldText(field, &text)) AddPatch(dev.inquiry_bytes, offset, field);
  key = text;
}

// Where the key that renders a field was taken from elsewhere, the field
// keeps its own bytes through a patch.
void KeepInquiryField(vxtsim::Device& dev, const std::string& text, ConstBytes inquiry,
                      size_t offset, size_t width) {
  ConstBytes field = Slice(inquiry, offset, width);
  if (field.size() < width) return;
  std::string rendered = Rendered(text, width);
  if (std::memcmp(rendered.data(), field.data(), width) != 0) {
    AddPatch(dev.inquiry_bytes, offset, field);
  }
}

// The pages a supported-pages answer lists, as far as its bytes go.
std::vector<uint8_t> ListedPages(ConstBytes supported) {
  size_t count = GetU8(supported, 3);
  std::vector<uint8_t> pages;
  for (size_t i = 4; i < 4 + count && i < supported.size(); ++i) pages.push_back(supported[i]);
  return pages;
}

bool Lists(const std::vector<uint8_t>& pages, uint8_t page) {
  return std::find(pages.begin(), pages.end(), page) != pages.end();
}

int Vpd(ControllerCapture& cc, const DiskAddress& d, uint8_t page, uint8_t* buffer,
        uint32_t* delivered = nullptr) {
  return ScsiInquiry(cc.c, d.To(), VpdPage(page), buffer, kFullInquiryBytes, 1, delivered);
}

// The serial number volkit shows comes from the serial number page.
void AddSerial(ControllerCapture& cc, const DiskAddress& d, ConstBytes inquiry,
               vxtsim::Device& dev) {
  uint8_t vpd[kFullInquiryBytes];
  if (Vpd(cc, d, 0x80, vpd) != kScsiSuccess) {
    cc.Note(d.Name + ": no serial number page; the copy's shows the INQUIRY serial number");
    AddInquiryText(dev, dev.serial, inquiry, 36, 20);
    return;
  }
  size_t length = std::min<size_t>(GetU8(vpd, 3), 20);
  std::string serial;
  FieldText(ConstBytes(vpd).subspan(4, length), &serial);
  dev.serial = serial;
  KeepInquiryField(dev, serial, inquiry, 36, 20);
}

void AddProductData(ControllerCapture& cc, const DiskAddress& d, vxtsim::Device& dev) {
  uint8_t supported[kFullInquiryBytes];
  uint8_t vpd[kFullInquiryBytes];
  uint32_t counted = 0;
  if (Vpd(cc, d, 0x00, supported, &counted) != kScsiSuccess) {
    cc.Note(d.Name + ": the list of product data pages could not be read");
    return;
  }
  std::vector<uint8_t> listed =
      ListedPages(ConstBytes(supported).first(Delivered(counted, kFullInquiryBytes)));
  if (Lists(listed, 0xB1) && Vpd(cc, d, 0xB1, vpd) == kScsiSuccess) {
    uint16_t rate = GetBe16(vpd, 4);
    if (rate == 1) {
      dev.ssd = true;
    } else {
      dev.rotation_rate = rate;
    }
  }
  if (Lists(listed, 0xC4) && Vpd(cc, d, 0xC4, vpd) == kScsiSuccess) {
    std::string part;
    FieldText(ConstBytes(vpd).subspan(28, 12), &part);
    dev.kvr_part = part;
  }
  // The list is written only where it is not the one the model would give
  // the copy by itself.
  if (listed != vxtsim::DefaultVpdPages(dev.kvr_part.given)) {
    dev.vpd_pages_given = true;
    dev.vpd_pages = listed;
  }
}

void AddCapacityAndBlockZero(ControllerCapture& cc, const DiskAddress& d, vxtsim::Device& dev) {
  uint32_t blocks = 0, block_size = 0;
  int result = ScsiReadCapacity(cc.c, d.To(), &blocks, &block_size, 1);
  if (result == kScsiNotReady) {
    dev.not_ready = true;
    return;
  }
  if (result != kScsiSuccess) {
    cc.Note(d.Name + ": its capacity could not be read");
    return;
  }
  // The count wraps to 0 when the last block address is the largest.
  dev.blocks = blocks ? uint64_t{blocks} : uint64_t{1} << 32;
  if (block_size != 512) dev.block_size = block_size;
  if (block_size == 0 || block_size > kLargestBlock) return;
  std::vector<uint8_t> block(block_size);
  if (ScsiReadWrite(cc.c, d.To(), ScsiTransfer::kRead, 0, 1, block.data(), block_size, 1) !=
      kScsiSuccess) {
    cc.Note(d.Name + ": block 0 could not be read");
    return;
  }
  size_t used = block.size();
  while (used > 0 && block[used - 1] == 0) --used;
  if (used) {
    dev.block_data.given = true;
    dev.block_data.blocks[0] = {HexBytes(ConstBytes(block).first(used)),
                                vxtsim::Bytes(block.begin(), block.begin() + used)};
  }
}

// IDENTIFY strings. A disk whose model field ends in the KVR mark shows its
// firmware revision from here, so that revision wins over INQUIRY's.
void AddIdentify(ControllerCapture& cc, const DiskAddress& d, ConstBytes inquiry,
                 vxtsim::Device& dev) {
  uint8_t identify[kAtaIdentifyBytes] = {};
  RequestStatus status;
  if (!AtaIdentify(cc.c, d.Target, 0, identify, kAtaIdentifyBytes, &status) || !StatusOk(status)) {
    cc.Note(d.Name + ": SATA IDENTIFY failed (" + WhyFailed(status) + ")");
    return;
  }
  std::string model = AtaText(identify, 27, 20);
  if (model != *dev.product) dev.ata_model = model;
  if (Rendered(model, 40).substr(36) == "KVR ") {
    std::string revision = AtaText(identify, 23, 4);
    dev.revision = revision;
    KeepInquiryField(dev, revision, inquiry, 32, 4);
  }
  uint64_t count = GetU64(identify, 200);
  if (*dev.blocks == uint64_t{1} << 32 && count > uint64_t{1} << 32) {
    dev.blocks = count;
  }
}

// False when nothing answers at the address.
bool CaptureDisk(ControllerCapture& cc, const DiskAddress& d, vxtsim::Device& dev) {
  uint8_t inquiry[kFullInquiryBytes];
  uint32_t counted = 0;
  int result = ScsiInquiry(cc.c, d.To(), kStandardInquiry, inquiry, kFullInquiryBytes, 1, &counted);
  if (result == kScsiNoDevice) return false;
  if (result != kScsiSuccess) {
    cc.Note(d.Name + ": INQUIRY failed; its identity is left out");
    return true;
  }
  ConstBytes answer = ConstBytes(inquiry).first(Delivered(counted, kFullInquiryBytes));
  if (answer[0]) dev.type = answer[0];
  if (answer.size() > 1 && (answer[1] & 0x80)) dev.removable = true;
  if (answer.size() > 1 && (answer[1] & 0x7F)) AddPatch(dev.inquiry_bytes, 1, answer.subspan(1, 1));
  AddInquiryText(dev, dev.vendor, answer, 8, 8);
  AddInquiryText(dev, dev.product, answer, 16, 16);
  AddInquiryText(dev, dev.revision, answer, 32, 4);
  AddSerial(cc, d, answer, dev);
  ConstBytes fru = Slice(answer, kKvrFruOffset, 12);
  if (std::any_of(fru.begin(), fru.end(), [](uint8_t b) { return b != 0; })) {
    AddInquiryText(dev, dev.kvr_fru, answer, kKvrFruOffset, 12);
  }
  AddProductData(cc, d, dev);
  AddCapacityAndBlockZero(cc, d, dev);
  if (d.Sata) AddIdentify(cc, d, answer, dev);
  return true;
}

const PhysDiskSeat* SeatAt(const ControllerCapture& cc, uint8_t bus, uint8_t target) {
  for (const PhysDiskSeat& s : cc.phys_disks) {
    if (s.Target == target && s.Bus == bus) return &s;
  }
  return nullptr;
}

DiskAddress AddressOf(const ControllerCapture& cc, uint8_t target, bool sata) {
  std::string name = "target " + std::to_string(target);
  if (const PhysDiskSeat* seat = SeatAt(cc, 0, target)) {
    return {kScsiPathRaidMember, seat->Num, target, sata, name};
  }
  return {kScsiPathPlain, target, target, sata, name};
}

bool IsVolumeTarget(const ControllerCapture& cc, uint8_t target) {
  for (const VolumeSeat& v : cc.volumes) {
    if (v.Bus == 0 && v.Id == target) return true;
  }
  return false;
}

// Parallel SCSI has no device walk: every target ID is asked. A volume
// answers at its own ID and a physical disk only by its number.
void ScanScsiTargets(ControllerCapture& cc) {
  std::vector<vxtsim::Device>& list = cc.ctl.devices;
  cc.ctl.devices_given = true;
  list.clear();
  int targets = DeviceLimit(*cc.c) & 0xFF;
  for (int t = 0; t < targets; ++t) {
    uint8_t target = static_cast<uint8_t>(t);
    if (IsVolumeTarget(cc, target) && !SeatAt(cc, 0, target)) continue;
    vxtsim::Device dev;
    dev.target = target;
    if (CaptureDisk(cc, AddressOf(cc, target, false), dev)) list.push_back(dev);
  }
  for (const PhysDiskSeat& seat : cc.phys_disks) {
    if (seat.Bus == 0) continue;
    cc.Note("physical disk " + std::to_string(seat.Num) + " is on bus " + std::to_string(seat.Bus) +
            "; its disk is left out");
  }
}

}  // namespace

bool CaptureDisks(ControllerCapture& cc) {
  if (!cc.sas) {
    ScanScsiTargets(cc);
    return true;
  }
  for (vxtsim::Device& dev : cc.ctl.devices) {
    if (dev.kind.given || !dev.target.given) continue;
    uint8_t target = dev.target;
    if (target == 0xFF) continue;
    if (dev.bus != 0) {
      cc.Note("device " + std::to_string(*dev.handle) +
              " is on a bus other than 0; its identity is left out");
      continue;
    }
    if (!CaptureDisk(cc, AddressOf(cc, target, dev.protocol == vxtsim::Protocol::kSata), dev)) {
      cc.Note("target " + std::to_string(target) +
              ": listed by the device walk but nothing "
              "answers there");
    }
  }
  return true;
}

}  // namespace capture
