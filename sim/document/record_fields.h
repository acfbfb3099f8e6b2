// The plain keys of each record of a lab or state, listed once for both
// directions: reading and writing walk the same list, so a key can never be
// read under one name and written back under another.  A visitor sees
//   v.Field(key, given)            a number, flag or text
//   v.Field(key, given, max)       a number with a tighter range than its type
//   v.OneOf(key, given, names)     a value written as one of a few names
//   v.Object(key, given, fields)   a sub-object and the fields it holds
// Keys with a shape of their own (lists, patches, blocks, derived defaults)
// are handled where the record is read or written.  `R` is the record or
// its const form, so one list serves the reader and the writer.
#pragma once

#include <utility>

#include "model/model.h"

namespace vxtsim {

// A value's names; a table is a plain array of these.
template <typename E>
using Name = std::pair<const char*, E>;

inline constexpr Name<DeviceKind> kDeviceKindNames[] = {{"disk", DeviceKind::kDisk},
                                                        {"expander", DeviceKind::kExpander}};
inline constexpr Name<Protocol> kProtocolNames[] = {{"sas", Protocol::kSas},
                                                    {"sata", Protocol::kSata}};
// The names a volume type is written with; the reader also takes others.
inline constexpr Name<uint8_t> kVolumeTypeNames[] = {
    {"IS", kVolumeIS}, {"IME", kVolumeIME}, {"IM", kVolumeIM}};
inline constexpr Name<RequestKind> kRequestKindNames[] = {
    {"adapter_info", RequestKind::kAdapterInfo},
    {"passthrough", RequestKind::kPassThrough},
    {"reset", RequestKind::kReset}};

template <typename R, typename V>
void NodeFields(R& n, V& v) {
  v.Field("exists", n.exists);
  v.Field("creatable", n.creatable);
  v.Field("driver_loaded", n.driver_loaded);
  v.Field("mode", n.mode);
  v.Field("major", n.major);
  v.Field("minor", n.minor);
}

template <typename R, typename V>
void PciFields(R& pci, V& v) {
  v.Field("device_id", pci.device_id);
  v.Field("subsystem_vendor_id", pci.subsystem_vendor_id);
  v.Field("subsystem_device_id", pci.subsystem_device_id);
  v.Field("bus", pci.bus, 0xFFFFFF);
  v.Field("device", pci.device);
  v.Field("function", pci.function);
  v.Field("segment", pci.segment);
}

// The firmware version, a text or a number, is the facts' own.
template <typename R, typename V>
void IocFactsFields(R& f, V& v) {
  v.Field("ioc_number", f.ioc_number);
  v.Field("concurrent_commands", f.concurrent_commands);
  v.Field("bus_count", f.bus_count);
  v.Field("request_frame_words", f.request_frame_words);
  v.Field("msg_version", f.msg_version);
}

template <typename R, typename V>
void PortFactsFields(R& pf, V& v) {
  v.Field("device_limit", pf.device_limit);
  v.Field("initiator_id", pf.initiator_id);
}

template <typename R, typename V>
void RuntimeFields(R& rt, V& v) {
  v.Field("ir_disabled", rt.ir_disabled);
  v.Field("resets", rt.resets);
  v.Field("volumes_made", rt.volumes_made);
}

template <typename R, typename V>
void DeviceFields(R& d, V& v) {
  v.Field("handle", d.handle);
  v.OneOf("kind", d.kind, kDeviceKindNames);
  v.Field("target", d.target);
  v.Field("bus", d.bus);
  v.OneOf("protocol", d.protocol, kProtocolNames);
  v.Field("enclosure", d.enclosure);
  v.Field("slot", d.slot);
  v.Field("parent", d.parent);
  v.Field("phy", d.phy);
  v.Field("direct", d.direct);
  v.Field("sas_address", d.sas_address);
  v.Field("device_info", d.device_info);
  v.Field("vendor", d.vendor);
  v.Field("product", d.product);
  v.Field("revision", d.revision);
  v.Field("serial", d.serial);
  v.Field("kvr_fru", d.kvr_fru);
  v.Field("kvr_part", d.kvr_part);
  v.Field("ata_model", d.ata_model);
  v.Field("blocks", d.blocks);
  v.Field("block_size", d.block_size);
  v.Field("type", d.type);
  v.Field("removable", d.removable);
  v.Field("ssd", d.ssd);
  v.Field("not_ready", d.not_ready);
  v.Field("rotation_rate", d.rotation_rate);
  v.Field("format_ms", d.format_ms);
}

template <typename R, typename V>
void EnclosureFields(R& e, V& v) {
  v.Field("handle", e.handle);
  v.Field("logical_id", e.logical_id);
  v.Field("num_slots", e.num_slots);
  v.Field("start_slot", e.start_slot);
  v.Field("start_target", e.start_target);
  v.Field("start_bus", e.start_bus);
  v.Field("reports_identify", e.reports_identify);
}

template <typename R, typename V>
void PhysDiskFields(R& pd, V& v) {
  v.Field("num", pd.num);
  v.Field("target", pd.target);
  v.Field("bus", pd.bus);
  v.Field("ioc", pd.ioc);
  v.Field("state", pd.state);
  v.Field("status_flags", pd.status_flags);
  v.Field("hot_spare_pool", pd.hot_spare_pool);
  v.Field("failed", pd.failed);
  v.Field("max_lba", pd.max_lba);
  v.Field("vendor", pd.vendor);
  v.Field("product", pd.product);
  v.Field("revision", pd.revision);
  v.Object("smart", pd.smart.given, [&](auto& s) {
    s.Field("count", pd.smart.count);
    s.Field("asc", pd.smart.asc);
    s.Field("ascq", pd.smart.ascq);
  });
}

// The type and the members, written in more than one way, are the volume's own.
template <typename R, typename V>
void VolumeFields(R& vol, V& v) {
  v.Field("id", vol.id);
  v.Field("bus", vol.bus);
  v.Field("ioc", vol.ioc);
  v.Field("state", vol.state);
  v.Field("inactive", vol.inactive);
  v.Field("status_flags", vol.status_flags);
  v.Field("settings", vol.settings);
  v.Field("hot_spare_pool", vol.hot_spare_pool);
  v.Field("max_lba", vol.max_lba);
  v.Field("wwid", vol.wwid);
  v.Field("serial", vol.serial);
  v.Object("resync", vol.resync.given, [&](auto& r) {
    r.Field("total", vol.resync.total);
    r.Field("remaining", vol.resync.remaining);
    r.Field("step", vol.resync.step);
  });
}

// The page, a name from the directory, is the match's own.
template <typename R, typename V>
void FaultMatchFields(R& m, V& v) {
  v.OneOf("request", m.request, kRequestKindNames);
  v.Field("controller", m.controller);
  v.Field("function", m.function);
  v.Field("action", m.action);
  v.Field("page_type", m.page_type);
  v.Field("page_number", m.page_number);
  v.Field("ext_page_type", m.ext_page_type);
  v.Field("address", m.address);
  v.Field("raid_action", m.raid_action);
  v.Field("scsi_opcode", m.scsi_opcode);
  v.Field("target", m.target);
  v.Field("vpd_page", m.vpd_page);
}

// The errno, a name or a number, is the effect's own.
template <typename R, typename V>
void FaultEffectFields(R& e, V& v) {
  v.Field("no_reply", e.no_reply);
  v.Field("ioc_status", e.ioc_status);
  v.Field("action_status", e.action_status);
  v.Field("scsi_status", e.scsi_status);
  v.Field("scsi_state", e.scsi_state);
  v.Field("sense_key", e.sense_key, 0xF);
  v.Field("asc", e.asc);
  v.Field("ascq", e.ascq);
  v.Field("not_ready", e.not_ready);
  v.Field("unit_attention", e.unit_attention);
  v.Field("response_info", e.response_info);
  v.Field("short", e.short_data);
  v.Field("fail_phys_disk", e.fail_phys_disk);
}

template <typename R, typename V>
void MetaFields(R& m, V& v) {
  v.Field("format", m.format);
  v.Field("lab_digest", m.lab_digest);
}

}  // namespace vxtsim
