#include "create/volume_request.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console/words.h"
#include "raid/raid_limits.h"
#include "vxt/page_readers.h"
#include "vxt/pages.h"

namespace {

struct VolumeTypeWord {
  const char* Word;
  uint8_t Code;
  uint32_t Capability;
};

constexpr VolumeTypeWord kVolumeTypeWords[] = {
    {"im", kVolumeTypeIM, kCapabilityIm},    {"raid1", kVolumeTypeIM, kCapabilityIm},
    {"ime", kVolumeTypeIME, kCapabilityIme}, {"raid1e", kVolumeTypeIME, kCapabilityIme},
    {"is", kVolumeTypeIS, kCapabilityIs},    {"raid0", kVolumeTypeIS, kCapabilityIs},
};

// The firmware's word for `t` when it cannot build it.
int CheckCapability(ConstBytes iocpg2, const VolumeTypeWord& t, const char* word) {
  if (IocPg2CapabilityFlags(iocpg2) & t.Capability) return 1;
  std::fprintf(stderr,
               t.Code == kVolumeTypeIM
                   ? "volkit: Requested volume type \"%s\" cannot be supported by\n"
                     "    current controller firmware.\n"
                   : "volkit: Requested volume type \"%s\" cannot be supported by\n"
                     "    current controller firmware\n",
               word);
  return 0;
}

}  // namespace

int DropNoPrompt(int argc, char** argv, bool* no_prompt) {
  int count = argc;
  for (int i = kFirstOptionArgument; i < count; ++i) {
    LowerCaseWord(argv[i]);
    if (std::strcmp(argv[i], "noprompt") == 0) {
      *no_prompt = true;
      --count;
    }
  }
  return count;
}

int CheckIrCapable(ConstBytes iocpg2, const char* controller_word) {
  if (!(IocPg2CapabilityFlags(iocpg2) & (kCapabilityIs | kCapabilityIme | kCapabilityIm))) {
    std::fprintf(stderr,
                 "volkit: Controller specified by controller number \"%s\"\n"
                 "        has either IR capaability disabled OR has initiator-only firmware.\n"
                 "        If you wish to create a RAID volume, enable IR capability or please\n"
                 "        flash IR firmware before attempting this operation again\n",
                 controller_word);
    return 0;
  }
  uint8_t active = IocPg2NumActiveVolumes(iocpg2);
  if (active > 1 || active >= IocPg2MaxVolumes(iocpg2)) {
    std::fprintf(stderr,
                 "volkit: Controller specified by controller number \"%s\"\n"
                 "        already has max RAID volume. Use the DELETE command\n"
                 "        to delete volume(s) if wish to create a new volume\n",
                 controller_word);
    return 0;
  }
  return 1;
}

int CheckVolumeType(ConstBytes iocpg2, uint8_t type) {
  for (const VolumeTypeWord& t : kVolumeTypeWords) {
    if (t.Code == type) return CheckCapability(iocpg2, t, t.Word);
  }
  std::fprintf(stderr, "volkit: Invalid RAID volume type specified  \"%u\"!\n", type);
  return 0;
}

int ParseVolumeType(ConstBytes iocpg2, char* word, VolumeRequest* request) {
  LowerCaseWord(word);
  for (const VolumeTypeWord& t : kVolumeTypeWords) {
    if (std::strcmp(word, t.Word) != 0) continue;
    if (!CheckCapability(iocpg2, t, word)) return 0;
    request->CreateVolumeType = t.Code;
    return 1;
  }
  std::fprintf(stderr, "volkit: Invalid RAID volume type specified  \"%s\"!\n", word);
  return 0;
}

int ParseSize(char* word, VolumeRequest* request) {
  if (std::isalpha(static_cast<unsigned char>(word[0]))) {
    LowerCaseWord(word);
    if (std::strcmp(word, "max") != 0) {
      std::fprintf(stderr,
                   "volkit: Invalid size specification. It must be either \n"
                   "    'MAX' or a valid size in mega bytes.\n");
      return 0;
    }
    request->SizeMB = 0xFFFFFFFF;
    request->SizeGiven = 0;
    return 1;
  }
  char* end = nullptr;
  errno = 0;
  unsigned long long size = std::strtoull(word, &end, 0);
  if (errno == ERANGE || end == word || *end != '\0' ||
      !std::isdigit(static_cast<unsigned char>(word[0])) || size == 0) {
    std::fprintf(stderr, "volkit: Invalid size specification \"%s\"!\n", word);
    return 0;
  }
  request->SizeMB = size;
  request->SizeGiven = 1;
  return 1;
}

int ParseSyncWord(char* word, VolumeRequest* request, bool* is_sync) {
  *is_sync = false;
  if (std::isdigit(static_cast<unsigned char>(word[0]))) return 1;
  LowerCaseWord(word);
  if (std::strcmp(word, "qsync") != 0) {
    std::fprintf(stderr, "volkit: Invalid sync option specified  \"%s\"!\n", word);
    return 0;
  }
  request->QuickSync = 1;
  *is_sync = true;
  return 1;
}

int CountVolumeMembers(ControllerInfo* c, ConstBytes iocpg2, int* total) {
  int sum = 0;
  int volumes = IocPg2VolumeCount(iocpg2);
  for (int i = 0; i < volumes; ++i) {
    PageBuffer vol0;
    int result = ReadRaidVolPg0(c, IocPg2VolumeAt(iocpg2, i).VolumeID, &vol0);
    if (result != 1) return result;
    sum += RaidVolPg0NumPhysDisks(vol0);
  }
  *total = sum;
  return 1;
}
