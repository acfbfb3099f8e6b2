#include "files/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

int WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) errno = EIO;
    if (n <= 0) return 0;
    done += static_cast<size_t>(n);
  }
  return 1;
}

// After the rename, the directory entry itself must reach the disk for the
// new file to survive a crash; a failure here loses nothing already written.
void SyncDirectory(const std::string& directory) {
  int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

int ReplaceFileAtomically(const std::string& path, const std::string& text, std::string* error) {
  if (path.empty() || path.back() == '/') {
    *error = "not a file name";
    return 0;
  }
  const std::string directory = DirectoryOf(path);
  std::string pattern = directory + "/." + BaseNameOf(path) + ".tmp.XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) {
    *error = std::strerror(errno);
    return 0;
  }
  const char* failed = nullptr;
  if (WriteAll(fd, text) != 1) {
    failed = "write";
  } else if (fchmod(fd, 0644) != 0) {
    failed = "chmod";
  } else if (fsync(fd) != 0) {
    failed = "fsync";
  }
  int saved = errno;
  if (close(fd) != 0 && failed == nullptr) {
    failed = "close";
    saved = errno;
  }
  if (failed == nullptr && rename(name.data(), path.c_str()) != 0) {
    failed = "rename";
    saved = errno;
  }
  if (failed != nullptr) {
    // The temporary file is ours alone; a failure to remove it changes
    // nothing the message does not already say.
    // NOLINTNEXTLINE(cert-err33-c)
    unlink(name.data());
    *error = std::string(failed) + ": " + std::strerror(saved);
    return 0;
  }
  SyncDirectory(directory);
  return 1;
}
