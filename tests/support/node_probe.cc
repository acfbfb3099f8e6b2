// vxtsim_probe: makes the node calls named on its command line, one per
// word, and prints each result, so tests can check the interposer without
// volkit. Words: open, open64, openat, open2 (the fortified entry), mknod,
// mknodat, unlink, unlinkat, close, adapter:N (adapter information of
// controller N), passthrough (controller facts of controller 0), null (an
// open of /dev/null, which must stay a real file), lock:N and unlock:N (a
// record lock on byte N of the node), holder:N (prints who holds byte N),
// ofdlock:N (an open file description lock), wait (reads a line of input).
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int __open_2(const char*, int);

namespace {

int fd = -1;

void Report(const std::string& word, int result) {
  std::printf("%s %d %s\n", word.c_str(), result, result < 0 ? std::strerror(errno) : "ok");
}

int RecordLock(int cmd, short type, const std::string& byte) {
  struct flock range {};
  range.l_type = type;
  range.l_whence = SEEK_SET;
  range.l_start = std::atol(byte.c_str());
  range.l_len = 1;
  int r = fcntl(fd, cmd, &range);
  if (r == 0 && cmd == F_GETLK) {
    if (range.l_type == F_UNLCK) {
      std::printf("free\n");
    } else {
      std::printf("held by %ld\n", static_cast<long>(range.l_pid));
    }
  }
  return r;
}

int PassThrough() {
  uint8_t record[199] = {}, reply[128];
  std::memset(reply, 0xFF, sizeof reply);
  uint8_t* reply_ptr = reply;
  int32_t size = 199, max_reply = 128;
  std::memcpy(record + 8, &size, 4);
  std::memcpy(record + 16, &reply_ptr, 8);
  std::memcpy(record + 48, &max_reply, 4);
  record[68 + 3] = 0x03;
  int r = ioctl(fd, 0xC0486D14, record);
  if (r == 0) std::printf("facts function %02x length %u\n", reply[3], reply[2]);
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  const char* node = "/dev/vxtctl";
  for (int i = 1; i < argc; ++i) {
    std::string w = argv[i];
    int r = -1;
    errno = 0;
    if (w == "open")
      r = fd = open(node, O_RDWR);
    else if (w == "open64")
      r = fd = open64(node, O_RDWR);
    else if (w == "openat")
      r = fd = openat(AT_FDCWD, node, O_RDWR);
    else if (w == "open2")
      r = fd = __open_2(node, O_RDWR);
    else if (w == "mknod")
      r = mknod(node, S_IFCHR | 0600, makedev(10, 220));
    else if (w == "mknodat")
      r = mknodat(AT_FDCWD, node, S_IFCHR | 0600, makedev(10, 220));
    else if (w == "unlink")
      r = unlink(node);
    else if (w == "unlinkat")
      r = unlinkat(AT_FDCWD, node, 0);
    else if (w == "close")
      r = close(fd);
    else if (w == "null")
      r = open("/dev/null", O_RDONLY);
    else if (w == "passthrough")
      r = PassThrough();
    else if (w.rfind("lock:", 0) == 0)
      r = RecordLock(F_SETLK, F_WRLCK, w.substr(5));
    else if (w.rfind("unlock:", 0) == 0)
      r = RecordLock(F_SETLK, F_UNLCK, w.substr(7));
    else if (w.rfind("holder:", 0) == 0)
      r = RecordLock(F_GETLK, F_WRLCK, w.substr(7));
    else if (w.rfind("ofdlock:", 0) == 0)
      r = RecordLock(F_OFD_SETLK, F_WRLCK, w.substr(8));
    else if (w == "wait")
      r = std::getchar();
    else if (w.rfind("adapter:", 0) == 0) {
      uint8_t rec[92] = {};
      uint32_t n = static_cast<uint32_t>(std::atoi(w.c_str() + 8));
      std::memcpy(rec, &n, 4);
      rec[8] = 92;
      r = ioctl(fd, 0xC05C6D11, rec);
    }
    Report(w, r);
    if (std::fflush(stdout) != 0) return 1;
  }
  return 0;
}
