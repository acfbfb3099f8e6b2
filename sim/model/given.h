// A value of the lab or state that may or may not have been written there.
// Defaults are filled in when the document is read, so the model uses plain
// values; whether a key was written decides whether it is written back, which
// keeps a state file in the shape of the lab it was made from.
#pragma once

#include <cstdint>

namespace vxtsim {

// How a number was written, so that a value written back reads as before.
enum class Spelling : uint8_t { kNumber, kDecimal, kHexLower, kHexUpper, kOctal };

template <typename T>
struct Given {
  T value{};
  bool given = false;
  Spelling spelling = Spelling::kNumber;
  uint8_t width = 0;  // digits after the base prefix of a number written as a string

  Given() = default;
  // A default: the value holds, but nothing is written back.
  Given(T fallback) : value(fallback) {}  // NOLINT: defaults read as plain values
  // A value the model sets is written back as a plain number.
  Given& operator=(T v) {
    value = v;
    given = true;
    spelling = Spelling::kNumber;
    return *this;
  }
  operator const T&() const { return value; }  // NOLINT
  const T& operator*() const { return value; }
  // Forgets the value, as if the key had never been written.
  void Erase(T fallback = T{}) { *this = Given(fallback); }
};

}  // namespace vxtsim
