// The device probe: what answers at one target ID of bus 0, and who it is.
// DISPLAY's physical device section and the monitoring snapshot both ask
// through it.  DISPLAY asks everything afresh for each target; the snapshot,
// which has read the device list, the volume list and the physical disk
// pages once already, asks each device for its identity alone.
#pragma once

#include <cstdint>
#include <string>

#include "raid/device_words.h"
#include "vxt/config_page.h"
#include "vxt/scsi.h"

// What the probe asks besides the identity itself.  A flag left false drops
// the requests whose answer the caller holds already.
struct ProbeRequests {
  // The target's SasDevicePg0 (SAS only), for whether it is SATA; else `Sata`
  // stands as the caller set it.  A page that cannot be read leaves the
  // target out.
  bool SasDevicePage = true;
  // IocPg2, to leave out a volume's own target ID; else the caller has left
  // volumes out already.
  bool VolumeList = true;
  // A member's RaidPhysDiskPg0, read again each time it is needed; else
  // `DiskPage` as the caller set it.
  bool DiskPage = true;
  // A device outside the RAID configuration is asked the standard INQUIRY
  // whether anything answers, again for who it is once the SATA and volume
  // checks are done, and once more for the strings shown.  Else one inquiry,
  // with the short retry, answers all three.
  bool RepeatedInquiry = true;
};

// One target's probe.  The caller sets where the target is; the probe fills
// in what it learns.  Nothing carries over from one target to the next.
struct DeviceProbe {
  uint8_t Target = 0;
  bool Member = false;  // volume member or hot spare
  bool InInactiveVolume = false;
  uint8_t PhysDiskNum = 0;  // a member's
  bool Sata = false;
  PageBuffer DiskPage;  // a member's RaidPhysDiskPg0, once read

  bool Kvr = false;
  bool HardDisk = false;
  // Reply class of the last request that counts for the disk's state and
  // size.
  int Status = kScsiSuccess;
  uint32_t Blocks = 0;
  uint32_t BlockSize = 0;  // 0: capacity not determined
  // The standard INQUIRY data; a member without the KVR mark carries the
  // firmware's copy of its strings here.
  uint8_t Inquiry[kFullInquiryBytes] = {};
  KvrAtaStrings Ata;

  // Members are reached through the RAID-member pass-through by their
  // physical disk number, everything else by plain SCSI I/O to the target.
  ScsiAddress To() const { return Member ? RaidMember(PhysDiskNum) : PlainTarget(Target); }
  bool KvrSata() const { return Kvr && Sata; }
};

enum class ProbeOutcome {
  kFound,    // the device answered and its identity is known
  kNothing,  // nothing answers there, or the target is not the probe's
  kFailed,   // a request the identity needs failed
};

// Finds out what answers at `probe->Target` and gathers its identity.
ProbeOutcome ProbeDevice(ControllerInfo* controller, const ProbeRequests& requests,
                         DeviceProbe* probe);

// The identity strings as the device gives them, blanks kept: a KVR SATA
// disk's from IDENTIFY, any other's from the INQUIRY fields (the model of a
// KVR disk two characters shorter).
struct DeviceIdentity {
  std::string Vendor;
  std::string Model;
  std::string Revision;
};
DeviceIdentity IdentityOf(const DeviceProbe& probe);

// The size of a hard disk whose identity request succeeded: a member's from
// its physical disk page, in 512-byte blocks; another disk's from READ
// CAPACITY, whose reply class then becomes `Status`.  `transfer` kReadWhole
// counts a capacity that did not all arrive as a failure.
void ProbeCapacity(ControllerInfo* controller, ScsiTransfer transfer, DeviceProbe* probe);

// The unit serial number is not asked of an enclosure services device, nor
// of a member of an inactive volume.
bool AsksSerialNumber(const DeviceProbe& probe);

// The unit serial number page (VPD 0x80) into `page`, kFullInquiryBytes
// long; the reply class.
int InquireSerialNumber(ControllerInfo* controller, const DeviceProbe& probe, uint8_t* page);

// The serial number such a page delivered: no longer than the page's own
// length byte (offset 3) says, nor than the 20 bytes volkit shows, and ending
// where the transfer did (the inquiry leaves 0xFF wherever nothing arrived).
// Zero bytes are left out, as everywhere a device string is shown.
std::string DeliveredSerialNumber(ConstBytes page);

// SasDevicePg0 of the device at bus 0, `target`; 1 when it could be read.
int ReadSasDeviceAt(ControllerInfo* controller, uint8_t target, PageBuffer* page);
