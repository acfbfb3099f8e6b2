#include "monitor/json_text.h"

#include <cmath>
#include <cstdio>

namespace {

// Puts the separator and line break before a value or a member name.
void StartValue(JsonText* json) {
  if (json->AfterKey) {
    json->AfterKey = false;
    return;
  }
  if (json->HasMember.empty()) return;
  if (json->HasMember.back()) json->Text += ',';
  json->HasMember.back() = true;
  json->Text += '\n';
  json->Text.append(2 * json->HasMember.size(), ' ');
}

void Open(JsonText* json, char bracket) {
  StartValue(json);
  json->Text += bracket;
  json->HasMember.push_back(false);
}

void Close(JsonText* json, char bracket) {
  bool had_members = json->HasMember.back();
  json->HasMember.pop_back();
  if (had_members) {
    json->Text += '\n';
    json->Text.append(2 * json->HasMember.size(), ' ');
  }
  json->Text += bracket;
  if (json->HasMember.empty()) json->Text += '\n';
}

void Scalar(JsonText* json, const std::string& text) {
  StartValue(json);
  json->Text += text;
}

}  // namespace

void JsonBeginObject(JsonText* json) { Open(json, '{'); }
void JsonEndObject(JsonText* json) { Close(json, '}'); }
void JsonBeginArray(JsonText* json) { Open(json, '['); }
void JsonEndArray(JsonText* json) { Close(json, ']'); }

void JsonKey(JsonText* json, const char* key) {
  StartValue(json);
  json->Text += JsonQuoted(key);
  json->Text += ": ";
  json->AfterKey = true;
}

void JsonString(JsonText* json, const std::string& value) { Scalar(json, JsonQuoted(value)); }
void JsonUnsigned(JsonText* json, uint64_t value) { Scalar(json, std::to_string(value)); }
void JsonSigned(JsonText* json, int64_t value) { Scalar(json, std::to_string(value)); }

void JsonNumber(JsonText* json, double value) {
  if (!std::isfinite(value)) {
    JsonNull(json);
    return;
  }
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.6g", value);
  Scalar(json, buffer);
}

void JsonBool(JsonText* json, bool value) { Scalar(json, value ? "true" : "false"); }
void JsonNull(JsonText* json) { Scalar(json, "null"); }

void JsonOptional(JsonText* json, const std::optional<std::string>& value) {
  if (value) {
    JsonString(json, *value);
  } else {
    JsonNull(json);
  }
}

void JsonOptional(JsonText* json, const std::optional<bool>& value) {
  if (value) {
    JsonBool(json, *value);
  } else {
    JsonNull(json);
  }
}

std::string JsonQuoted(const std::string& value) {
  std::string out = "\"";
  for (char ch : value) {
    auto byte = static_cast<unsigned char>(ch);
    if (byte == '"' || byte == '\\') {
      out += '\\';
      out += ch;
    } else if (byte < 0x20 || byte > 0x7E) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);
      out += escape;
    } else {
      out += ch;
    }
  }
  out += '"';
  return out;
}
