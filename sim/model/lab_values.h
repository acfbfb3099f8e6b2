// Reading values out of a lab or state document. Numbers may be written as
// JSON numbers or as strings in any C base ("0x54", "0600", "143374744"), so
// that addresses and flag words stay readable in hand-written labs.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

namespace vxtsim {

using nlohmann::json;

// A lab or state document that cannot be understood.
struct LabError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

uint64_t ToNum(const json& value, const std::string& what);
// obj[key] as a number, or fallback when obj is not an object or lacks key.
uint64_t Num(const json& obj, const char* key, uint64_t fallback);
bool Flag(const json& obj, const char* key, bool fallback);
std::string Text(const json& obj, const char* key, const std::string& fallback);
// obj[key] when obj is an object holding key, else a shared null value.
const json& Member(const json& obj, const char* key);
// obj[key] as an array; a missing key gives an empty array.
const json& List(const json& obj, const char* key);

}  // namespace vxtsim
