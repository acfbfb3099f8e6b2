// One line of the request log: a flat JSON object with its keys in byte
// order, written without a JSON library since every request writes one.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

namespace vxtsim {

// The keys a log line may hold, in the byte order they are written in.
enum class LogKey : uint8_t {
  kCall,
  kController,
  kDataInSize,
  kDataInWritten,
  kDataOut,
  kDataOutSize,
  kDirection,
  kErrno,
  kError,
  kFault,
  kFd,
  kFlags,
  kFrame,
  kFunction,
  kIocStatus,
  kKind,
  kMajor,
  kMaxDataSize,
  kMaxReply,
  kMaxSense,
  kMinor,
  kMode,
  kPath,
  kPid,
  kPort,
  kReply,
  kRequest,
  kResult,
  kSense,
  kSeq,
  kSgeOffset,
  kTimeout,
  kCount,
};

namespace log_detail {
inline constexpr size_t kLogBlock = 24;  // the longest key with its quotes and colon fits

// Each key as it starts a member, "name":, padded so that it copies as one block.
inline constexpr char kLogKeyNames[][kLogBlock] = {
    "\"call\":",     "\"controller\":",    "\"data_in_size\":", "\"data_in_written\":",
    "\"data_out\":", "\"data_out_size\":", "\"direction\":",    "\"errno\":",
    "\"error\":",    "\"fault\":",         "\"fd\":",           "\"flags\":",
    "\"frame\":",    "\"function\":",      "\"ioc_status\":",   "\"kind\":",
    "\"major\":",    "\"max_data_size\":", "\"max_reply\":",    "\"max_sense\":",
    "\"minor\":",    "\"mode\":",          "\"path\":",         "\"pid\":",
    "\"port\":",     "\"reply\":",         "\"request\":",      "\"result\":",
    "\"sense\":",    "\"seq\":",           "\"sge_offset\":",   "\"timeout\":",
};
inline constexpr uint8_t kLogKeyLengths[] = {7, 13, 15, 18, 11, 16, 12, 8,  8,  8, 5,
                                             8, 8,  11, 13, 7,  8,  16, 12, 12, 8, 7,
                                             7, 6,  7,  8,  10, 9,  8,  6,  13, 10};
}  // namespace log_detail

class LogLine {
 public:
  static constexpr size_t kSlack = 24;  // room for the whole-block copies past the end

  LogLine() = default;
  LogLine(const LogLine& other) { *this = other; }
  LogLine& operator=(const LogLine& other);
  ~LogLine();

  void Number(LogKey key, int64_t value);
  // A name of the model's own (no character needs escaping).
  void Text(LogKey key, const char* value);
  // Hex digits of bytes, as a string.
  void Hex(LogKey key, const uint8_t* data, size_t size);
  bool Has(LogKey key) const { return slots_[Slot(key)].size > 0; }
  // Appends the line as JSON text and a newline.
  void AppendTo(std::string& out) const;
  std::string Json() const;

 private:
  struct Span {
    uint32_t start = 0, size = 0;  // size 0: absent
  };
  static size_t Slot(LogKey key) { return static_cast<size_t>(key); }
  // Room for the member `"key":` and a value of `size` bytes; returns where
  // the value goes.
  char* Member(LogKey key, size_t size) {
    size_t k = Slot(key);
    size_t name = log_detail::kLogKeyLengths[k];
    size_t need = size_ + name + size;
    Grow(need);
    char* out = data_ + size_;
    std::memcpy(out, log_detail::kLogKeyNames[k], log_detail::kLogBlock);
    slots_[k] = {static_cast<uint32_t>(size_), static_cast<uint32_t>(name + size)};
    size_ = need;
    return out + name;
  }
  void Grow(size_t need) {
    if (need + 2 * kSlack > capacity_) Enlarge(need + 2 * kSlack);
  }
  void Enlarge(size_t capacity);

  // Members as JSON text, one after another: most lines fit the inline room.
  char inline_[1024];
  char* data_ = inline_;
  size_t size_ = 0, capacity_ = sizeof inline_;
  std::array<Span, static_cast<size_t>(LogKey::kCount)> slots_{};
};

}  // namespace vxtsim
