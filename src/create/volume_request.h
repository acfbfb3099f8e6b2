// The parts of a volume request that CREATE and AUTO read alike: the
// `noprompt` word, the controller's capability and volume count, the volume
// type and the size.  Each check prints its own message when it refuses.
#pragma once

#include <cstdint>

#include "raid/raid_limits.h"
#include "vxt/vxt.h"

// What the user asked of a new volume, parsed once by CREATE or AUTO.
struct VolumeRequest {
  uint8_t CreateVolumeType;
  uint8_t SizeGiven;  // 0: MAX, the largest size the drives allow
  uint64_t SizeMB;
  uint32_t QuickSync;
};

// The first argument position at which `noprompt` (and a drive, for CREATE)
// may stand.
inline constexpr int kFirstOptionArgument = 5;

// Drops `noprompt` from the count wherever it stands from position 5 on; the
// words are not moved, so only a trailing `noprompt` leaves the rest clean.
// Returns the lowered count.
int DropNoPrompt(int argc, char** argv, bool* no_prompt);

// 1 when the controller has IR capability and room for another volume.
int CheckIrCapable(ConstBytes iocpg2, const char* controller_word);

// Stores the type code of `word` (lower-cased in place) in CreateVolumeType.
// 1 when the word names a type the firmware supports.
int ParseVolumeType(ConstBytes iocpg2, char* word, VolumeRequest* request);

// 1 when the firmware can build volumes of type code `type`; else 0 after
// the message ParseVolumeType prints for its word.
int CheckVolumeType(ConstBytes iocpg2, uint8_t type);

// Stores `MAX` or a size in MiB in SizeMB and SizeGiven.  1 when valid.
int ParseSize(char* word, VolumeRequest* request);

// The optional sync word.  `qsync` (in any case; lower-cased in place) sets
// QuickSync and `is_sync`; a word that starts with a digit is no sync word and
// is passed over.  Any other word is refused: 0 after the message.
int ParseSyncWord(char* word, VolumeRequest* request, bool* is_sync);

// The members of every volume in `iocpg2`'s list together.  1 with `total`
// set, or the failing page read's result.
int CountVolumeMembers(ControllerInfo* controller, ConstBytes iocpg2, int* total);
