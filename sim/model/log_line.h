// One line of the request log: a flat JSON object with its keys in byte
// order, written without a JSON library since every request writes one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vxtsim {

class LogLine {
 public:
  void Number(const char* key, int64_t value);
  void Text(const char* key, const std::string& value);
  bool Has(const char* key) const;
  // The line as JSON text, without a newline.
  std::string Json() const;

 private:
  struct Entry {
    const char* key;
    std::string value;  // JSON text of the value
  };
  void Set(const char* key, std::string value);
  std::vector<Entry> entries_;
};

}  // namespace vxtsim
