// A small JSON text builder: objects, arrays and scalars, indented two
// blanks a level.  Strings are escaped so that every byte outside printable
// ASCII appears as \u00XX, whatever the firmware put into them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct JsonText {
  std::string Text;
  // One entry per open object or array: whether it holds a member yet.
  std::vector<bool> HasMember;
  bool AfterKey = false;
};

void JsonBeginObject(JsonText* json);
void JsonEndObject(JsonText* json);
void JsonBeginArray(JsonText* json);
void JsonEndArray(JsonText* json);
// The member name of the next value in an object.
void JsonKey(JsonText* json, const char* key);

void JsonString(JsonText* json, const std::string& value);
void JsonUnsigned(JsonText* json, uint64_t value);
void JsonSigned(JsonText* json, int64_t value);
// Finite numbers only; anything else is written as null.
void JsonNumber(JsonText* json, double value);
void JsonBool(JsonText* json, bool value);
void JsonNull(JsonText* json);

// `value` or null.
void JsonOptional(JsonText* json, const std::optional<std::string>& value);
void JsonOptional(JsonText* json, const std::optional<bool>& value);
template <typename Unsigned>
void JsonOptional(JsonText* json, const std::optional<Unsigned>& value) {
  if (value) {
    JsonUnsigned(json, *value);
  } else {
    JsonNull(json);
  }
}

// `value` as a JSON string literal, quotes included.
std::string JsonQuoted(const std::string& value);
