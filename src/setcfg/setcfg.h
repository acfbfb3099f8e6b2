// DELETE (and its old name DEFAULTS): removing a controller's whole IR
// configuration.
#pragma once

#include <cstdint>

#include "raid/raid_limits.h"
#include "vxt/vxt.h"

// volkit <controller #> delete [noprompt].  0 on success, 1 on failure.
int DeleteCommand(ControllerInfo* controller, int argc, char** argv);

// Deletes every volume, then every RAID physical disk and hot spare left.
// 1 when all went; otherwise the failing request's result, after a message.
// Whatever was deleted before the failure stays deleted.
int RemoveAllVolumes(ControllerInfo* controller);

// Deletes the one volume `volume_id` as DELETE deletes each (boot device
// upkeep, the mirror's boot sector, the delete action), then the RAID
// physical disks its members leave.  1 when all went; otherwise the failing
// request's result, after a message.
int RemoveVolume(ControllerInfo* controller, uint8_t volume_id);

// Clears the disk signature in block 0 of the secondary member of mirror
// `volume_id`, so that the member no longer passes for the volume's old disk.
// 1 on success; 0 when a block transfer fails or there is nothing to clear
// (no secondary, not a mirror); a page read's result when it fails.
int InvalidateBootSector(ControllerInfo* controller, uint8_t volume_id);

// volkit <controller #> setoffline|setonline <SCSI ID>/<Encl:Bay>: a member
// of a mirrored volume goes offline or comes back.  0 on success, 1 on
// failure.
int SetOfflineCommand(ControllerInfo* controller, int argc, char** argv);
int SetOnlineCommand(ControllerInfo* controller, int argc, char** argv);

// volkit <controller #> rebuild <Volume ID>: restarts a mirror's
// resynchronisation.  0 on success, 1 on failure; a malformed ID ends the
// process with status 1.
int RebuildCommand(ControllerInfo* controller, int argc, char** argv);

// 1 when `volume_id` names a mirrored volume that is not resynchronising;
// otherwise a failure, with a message on standard error when the volume is
// missing, striped or busy.
int CheckRebuildVolume(ControllerInfo* controller, int volume_id);

// Takes the volume's second member offline and straight back online.  The
// result of the last action sent (or of the page read that failed).  A
// member left offline is named on standard error.
int RestartMemberSync(ControllerInfo* controller, int volume_id);

// volkit <controller #> locate <SCSI ID>/<Encl:Bay> on|off.  0 on success,
// 1 on failure.
int LocateCommand(ControllerInfo* controller, int argc, char** argv);

// The enclosure value and slot whose LED LOCATE switches for `text`.  1 with
// both; 0 after printing why `text` names no single slot.
int ResolveSlotAddress(ControllerInfo* controller, const char* text, uint16_t* enclosure,
                       uint16_t* slot);

// Reads the slot's status and writes it back with the identify request set
// (`on`) or cleared, every other bit as read.  1 on success, else the failing
// request's result (0 when the read brought no status back).
int SetLocateLed(ControllerInfo* controller, uint16_t enclosure, uint16_t slot, int on);

// volkit <controller #> hotspare [delete] <SCSI ID>|<Encl:Bay>.  0 on
// success, 1 on failure.
int HotSpareCommand(ControllerInfo* controller, int argc, char** argv);

// HOTSPARE's creation and deletion for a resolved, locked target: the checks,
// the request, the boot device upkeep and the closing message.  0 on
// success, 1 on failure.
int AddHotSpare(ControllerInfo* controller, uint8_t target_id);
int RemoveHotSpare(ControllerInfo* controller, uint8_t target_id);

// Room for one more hot spare (within `limits`), and an active mirror (IM or IME) for it to
// protect.  1 when both are there.
int CheckHotSpareSlots(ControllerInfo* controller, const RaidLimits& limits);

// SAS only: the disk at `target_id` has the interface and medium of the
// members of some mirror (SSDs of both interfaces may meet when the firmware
// allows that mix).  1 when such a mirror exists.
int MatchHotSpareType(ControllerInfo* controller, uint8_t target_id);

// The disk at `target_id` is no volume, a fixed disk of 512-byte blocks, and
// larger than what any mirror of its interface needs of a member (its data and
// the metadata reserve of `limits`).
int CheckHotSpareTarget(ControllerInfo* controller, const RaidLimits& limits, uint8_t target_id);

// volkit <controller #> enableir|disableir: switches IR in non-volatile
// memory and resets the controller.  0 on success (also when nothing needed
// changing), 1 on failure.
int IrSwitchCommand(ControllerInfo* controller, int argc, char** argv);

// volkit <controller #> format <SCSI Id>/(Encl:Bay) [noprompt].  0 when the
// disk reported the format done, 1 otherwise.
int FormatCommand(ControllerInfo* controller, int argc, char** argv);

// 1 when `target_id` is a fixed disk that is no IR volume; otherwise another
// value, after a message (none when IocPg2 cannot be read).
int CheckFormatTarget(ControllerInfo* controller, uint8_t target_id);
