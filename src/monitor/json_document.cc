#include "monitor/json_document.h"

#include "monitor/health.h"
#include "monitor/json_physical_disk.h"
#include "monitor/json_text.h"

namespace {

void StringOrNull(JsonText* j, const char* value) {
  if (value != nullptr) {
    JsonString(j, value);
  } else {
    JsonNull(j);
  }
}

void WriteRaidDisk(JsonText* j, const RaidDiskSnapshot& d) {
  JsonBeginObject(j);
  WriteRaidDiskKeys(j, d);
  JsonEndObject(j);
}

void WriteResync(JsonText* j, const ResyncSnapshot& r) {
  JsonBeginObject(j);
  JsonKey(j, "active");
  JsonBool(j, r.Active);
  JsonKey(j, "total_blocks");
  JsonOptional(j, r.TotalBlocks);
  JsonKey(j, "remaining_blocks");
  JsonOptional(j, r.RemainingBlocks);
  JsonKey(j, "ratio");
  // As STATUS computes its percentage; a nonsensical indicator gives none.
  std::optional<double> ratio = ResyncRatio(r);
  if (r.Active && ratio) {
    JsonNumber(j, *ratio);
  } else {
    JsonNull(j);
  }
  JsonEndObject(j);
}

void WriteVolume(JsonText* j, const VolumeSnapshot& v) {
  JsonBeginObject(j);
  JsonKey(j, "volume_id");
  JsonUnsigned(j, v.VolumeId);
  JsonKey(j, "bus");
  JsonUnsigned(j, v.Bus);
  JsonKey(j, "type");
  StringOrNull(j, VolumeTypeKey(v.Type));
  JsonKey(j, "raid_level");
  StringOrNull(j, RaidLevelKey(v.Type));
  JsonKey(j, "state");
  JsonString(j, VolumeStateKey(v.StateCode));
  JsonKey(j, "state_code");
  JsonUnsigned(j, v.StateCode);
  JsonKey(j, "inactive");
  JsonBool(j, v.Inactive);
  JsonKey(j, "size_blocks");
  JsonUnsigned(j, v.SizeBlocks);
  JsonKey(j, "size_bytes");
  // Volume blocks are 512 bytes; a MaxLBA near 2^64 would not fit.
  if (v.SizeBlocks <= UINT64_MAX / 512) {
    JsonUnsigned(j, v.SizeBlocks * 512);
  } else {
    JsonNull(j);
  }
  JsonKey(j, "members");
  JsonBeginArray(j);
  for (const RaidDiskSnapshot& m : v.Members) WriteRaidDisk(j, m);
  JsonEndArray(j);
  JsonKey(j, "resync");
  WriteResync(j, v.Resync);
  JsonEndObject(j);
}

void WriteDevice(JsonText* j, const DeviceSnapshot& d) {
  JsonBeginObject(j);
  JsonKey(j, "target");
  JsonUnsigned(j, d.Target);
  JsonKey(j, "device_type");
  JsonString(j, d.DeviceType);
  JsonKey(j, "enclosure");
  JsonOptional(j, d.Enclosure);
  JsonKey(j, "slot");
  JsonOptional(j, d.Slot);
  JsonKey(j, "vendor");
  JsonOptional(j, d.Vendor);
  JsonKey(j, "model");
  JsonOptional(j, d.Model);
  JsonKey(j, "firmware_revision");
  JsonOptional(j, d.FirmwareRevision);
  JsonKey(j, "serial");
  JsonOptional(j, d.Serial);
  JsonKey(j, "blocks");
  JsonOptional(j, d.Blocks);
  JsonKey(j, "block_size");
  JsonOptional(j, d.BlockSize);
  JsonKey(j, "size_bytes");
  if (d.Blocks && d.BlockSize) {
    JsonUnsigned(j, *d.Blocks * *d.BlockSize);  // both under 2^32
  } else {
    JsonNull(j);
  }
  JsonKey(j, "protocol");
  JsonString(j, d.Protocol);
  JsonKey(j, "ssd");
  JsonOptional(j, d.Ssd);
  JsonKey(j, "state");
  JsonOptional(j, d.State);
  JsonKey(j, "physical_disk");
  JsonOptional(j, d.PhysicalDisk);
  JsonKey(j, "volume_id");
  JsonOptional(j, d.VolumeId);
  JsonKey(j, "predictive_failure");
  JsonOptional(j, d.PredictiveFailure);
  JsonEndObject(j);
}

std::string Hex8(uint32_t value) {
  char text[9];
  std::snprintf(text, sizeof text, "%08x", value);
  return text;
}

void WriteEnclosure(JsonText* j, const EnclosureSnapshot& e) {
  JsonBeginObject(j);
  JsonKey(j, "enclosure");
  JsonUnsigned(j, e.Enclosure);
  JsonKey(j, "logical_id");
  JsonString(j, Hex8(e.LogicalIdLow) + ":" + Hex8(e.LogicalIdHigh));
  JsonKey(j, "num_slots");
  JsonUnsigned(j, e.NumSlots);
  JsonKey(j, "start_slot");
  JsonUnsigned(j, e.StartSlot);
  JsonKey(j, "start_target");
  JsonUnsigned(j, e.StartTarget);
  JsonEndObject(j);
}

void WritePci(JsonText* j, const PciSnapshot& p) {
  JsonBeginObject(j);
  JsonKey(j, "vendor_id");
  JsonUnsigned(j, p.VendorId);
  JsonKey(j, "device_id");
  JsonUnsigned(j, p.DeviceId);
  JsonKey(j, "subsystem_vendor_id");
  JsonUnsigned(j, p.SubsystemVendorId);
  JsonKey(j, "subsystem_device_id");
  JsonUnsigned(j, p.SubsystemDeviceId);
  JsonKey(j, "segment");
  JsonUnsigned(j, p.Segment);
  JsonKey(j, "bus");
  JsonUnsigned(j, p.Bus);
  JsonKey(j, "device");
  JsonUnsigned(j, p.Device);
  JsonKey(j, "function");
  JsonUnsigned(j, p.Function);
  JsonEndObject(j);
}

template <typename Item>
void WriteArray(JsonText* j, const char* key, const std::vector<Item>& items,
                void (*write)(JsonText*, const Item&)) {
  JsonKey(j, key);
  JsonBeginArray(j);
  for (const Item& item : items) write(j, item);
  JsonEndArray(j);
}

void WriteController(JsonText* j, const ControllerSnapshot& c) {
  JsonBeginObject(j);
  JsonKey(j, "controller");
  JsonUnsigned(j, c.Controller);
  JsonKey(j, "bus_type");
  JsonString(j, c.Sas ? "sas" : "parallel_scsi");
  JsonKey(j, "model");
  JsonString(j, c.Model);
  JsonKey(j, "pci");
  WritePci(j, c.Pci);
  JsonKey(j, "firmware_version");
  JsonOptional(j, c.FirmwareVersion);
  JsonKey(j, "bios_version");
  JsonOptional(j, c.BiosVersion);
  JsonKey(j, "ir_enabled");
  JsonOptional(j, c.IrEnabled);
  JsonKey(j, "complete");
  JsonBool(j, c.Complete);
  WriteArray(j, "volumes", c.Volumes, WriteVolume);
  WriteArray(j, "hot_spares", c.HotSpares, WriteRaidDisk);
  WriteArray(j, "physical_disks", c.PhysicalDisks, WritePhysicalDisk);
  WriteArray(j, "devices", c.Devices, WriteDevice);
  WriteArray(j, "enclosures", c.Enclosures, WriteEnclosure);
  JsonEndObject(j);
}

void WriteMessages(JsonText* j, const FleetSnapshot& fleet) {
  JsonKey(j, "messages");
  JsonBeginArray(j);
  for (const RunMessage& m : fleet.Messages) {
    JsonBeginObject(j);
    JsonKey(j, "severity");
    JsonString(j, m.Severity);
    JsonKey(j, "text");
    JsonString(j, m.Text);
    JsonEndObject(j);
  }
  for (const ControllerSnapshot& c : fleet.Controllers) {
    for (const std::string& problem : c.Problems) {
      JsonBeginObject(j);
      JsonKey(j, "severity");
      JsonString(j, "error");
      JsonKey(j, "text");
      JsonString(j, "controller " + std::to_string(c.Controller) + ": could not read " + problem);
      JsonEndObject(j);
    }
  }
  JsonEndArray(j);
}

void WriteHealth(JsonText* j, const FleetSnapshot& fleet) {
  HealthVerdict verdict = ClassifyHealth(fleet);
  JsonBeginObject(j);
  JsonKey(j, "state");
  JsonString(j, HealthStateName(verdict.State));
  JsonKey(j, "reasons");
  JsonBeginArray(j);
  for (const HealthFinding& f : verdict.Findings) JsonString(j, f.Text);
  JsonEndArray(j);
  JsonEndObject(j);
}

}  // namespace

std::string JsonDocument(const FleetSnapshot& fleet, const JsonRunFacts& run) {
  JsonText j;
  JsonBeginObject(&j);
  JsonKey(&j, "json_format_version");
  JsonBeginArray(&j);
  JsonUnsigned(&j, kJsonFormatMajor);
  JsonUnsigned(&j, kJsonFormatMinor);
  JsonEndArray(&j);
  JsonKey(&j, "volkit");
  JsonBeginObject(&j);
  JsonKey(&j, "version");
  JsonString(&j, run.Version);
  JsonKey(&j, "argv");
  JsonBeginArray(&j);
  for (const std::string& word : run.Argv) JsonString(&j, word);
  JsonEndArray(&j);
  JsonKey(&j, "exit_status");
  JsonSigned(&j, run.ExitStatus);
  WriteMessages(&j, fleet);
  JsonEndObject(&j);
  JsonKey(&j, "health");
  WriteHealth(&j, fleet);
  WriteArray(&j, "controllers", fleet.Controllers, WriteController);
  JsonEndObject(&j);
  return j.Text;
}
