// The strict reader of layout documents: every key known, every value of
// its type, each refusal naming its place in the document.
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <nlohmann/json.hpp>

#include "layout/layout_document.h"
#include "layout/layout_syntax.h"
#include "layout/layout_words.h"

namespace {

using nlohmann::json;

constexpr size_t kMaxLayoutBytes = 1 << 20;
constexpr uint64_t kMaxControllerNumber = 255;

// Collects the first refusal; every reader returns false once there is one.
struct Reader {
  std::string Error;

  bool Refuse(const std::string& where, const std::string& why) {
    if (Error.empty()) Error = where.empty() ? why : where + ": " + why;
    return false;
  }

  // Refuses any key of `object` outside `known`.
  bool OnlyKnownKeys(const json& object, const std::string& where,
                     std::initializer_list<const char*> known) {
    for (auto it = object.begin(); it != object.end(); ++it) {
      bool found = false;
      for (const char* k : known) found = found || it.key() == k;
      if (!found) return Refuse(where, "unknown key \"" + it.key() + "\"");
    }
    return true;
  }

  bool Bool(const json& object, const char* key, const std::string& where, bool* value) {
    auto it = object.find(key);
    if (it == object.end()) return true;
    if (!it->is_boolean()) return Refuse(where + "." + key, "must be true or false");
    *value = it->get<bool>();
    return true;
  }

  bool Place(const json& value, const std::string& where, LayoutPlace* place) {
    if (value.is_number_unsigned()) {
      uint64_t target = value.get<uint64_t>();
      if (target > kMaxLayoutTarget) return Refuse(where, "no such target ID");
      *place = {false, 0, 0, static_cast<uint32_t>(target)};
      return true;
    }
    if (!value.is_string()) return Refuse(where, "must be a drive (\"Encl:Bay\" or a target ID)");
    const std::string& text = value.get_ref<const std::string&>();
    if (!ParsePlace(text, place)) return Refuse(where, "\"" + text + "\" names no drive");
    return true;
  }

  bool Disk(const json& value, const std::string& where, LayoutDisk* disk) {
    disk->Where = where;
    if (!value.is_object()) return Place(value, where, &disk->Place);
    if (!OnlyKnownKeys(value, where, {"disk", "serial"})) return false;
    auto place = value.find("disk");
    if (place == value.end()) return Refuse(where, "the key \"disk\" is missing");
    if (!Place(*place, where + ".disk", &disk->Place)) return false;
    auto serial = value.find("serial");
    if (serial == value.end()) return true;
    if (!serial->is_string() || serial->get_ref<const std::string&>().empty())
      return Refuse(where + ".serial", "must be a serial number");
    disk->Serial = serial->get<std::string>();
    return true;
  }

  bool Size(const json& value, const std::string& where, LayoutVolume* volume) {
    if (value.is_number_unsigned() && value.get<uint64_t>() != 0) {
      volume->SizeMB = value.get<uint64_t>();
      return true;
    }
    if (value.is_string()) {
      bool max = false;
      uint64_t size = 0;
      if (ParseSizeWord(value.get_ref<const std::string&>(), &max, &size)) {
        if (!max) volume->SizeMB = size;
        return true;
      }
    }
    return Refuse(where, "must be \"max\" or a size in megabytes");
  }

  bool Volume(const json& value, const std::string& where, LayoutVolume* volume) {
    volume->Where = where;
    if (!value.is_object()) return Refuse(where, "must be an object");
    if (!OnlyKnownKeys(value, where, {"type", "disks", "size_mb", "qsync"})) return false;
    auto type = value.find("type");
    if (type == value.end()) return Refuse(where, "the key \"type\" is missing");
    if (!type->is_string() || !ParseTypeWord(type->get_ref<const std::string&>(), &volume->Type))
      return Refuse(where + ".type", "must be im, raid1, ime, raid1e, is or raid0");
    auto disks = value.find("disks");
    if (disks == value.end()) return Refuse(where, "the key \"disks\" is missing");
    if (!disks->is_array() || disks->empty())
      return Refuse(where + ".disks", "must be a list of drives");
    for (size_t i = 0; i < disks->size(); ++i) {
      volume->Disks.emplace_back();
      if (!Disk((*disks)[i], where + ".disks[" + std::to_string(i) + "]", &volume->Disks.back()))
        return false;
    }
    auto size = value.find("size_mb");
    if (size != value.end() && !Size(*size, where + ".size_mb", volume)) return false;
    return Bool(value, "qsync", where, &volume->QuickSync);
  }

  bool Controller(const json& value, const std::string& where, LayoutController* controller) {
    if (!value.is_object()) return Refuse(where, "must be an object");
    if (!OnlyKnownKeys(value, where, {"controller", "volumes", "hot_spares", "prune"}))
      return false;
    auto number = value.find("controller");
    if (number == value.end()) return Refuse(where, "the key \"controller\" is missing");
    if (!number->is_number_unsigned() || number->get<uint64_t>() > kMaxControllerNumber)
      return Refuse(where + ".controller", "must be a controller number between 0 and 255");
    controller->Controller = static_cast<uint32_t>(number->get<uint64_t>());
    if (auto volumes = value.find("volumes"); volumes != value.end()) {
      if (!volumes->is_array()) return Refuse(where + ".volumes", "must be a list");
      for (size_t i = 0; i < volumes->size(); ++i) {
        controller->Volumes.emplace_back();
        if (!Volume((*volumes)[i], where + ".volumes[" + std::to_string(i) + "]",
                    &controller->Volumes.back()))
          return false;
      }
    }
    if (auto spares = value.find("hot_spares"); spares != value.end()) {
      if (!spares->is_array()) return Refuse(where + ".hot_spares", "must be a list of drives");
      for (size_t i = 0; i < spares->size(); ++i) {
        controller->HotSpares.emplace_back();
        if (!Disk((*spares)[i], where + ".hot_spares[" + std::to_string(i) + "]",
                  &controller->HotSpares.back()))
          return false;
      }
    }
    if (!Bool(value, "prune", where, &controller->Prune)) return false;
    return NoDiskTwice(*controller);
  }

  // A disk in two roles, or twice in one, is a layout no controller can have.
  bool NoDiskTwice(const LayoutController& controller) {
    std::vector<const LayoutDisk*> seen;
    auto check = [&](const LayoutDisk& disk) {
      for (const LayoutDisk* earlier : seen) {
        if (earlier->Place == disk.Place)
          return Refuse(disk.Where, "the drive " + PlaceText(disk.Place) +
                                        " is named twice (also at " + earlier->Where + ")");
      }
      seen.push_back(&disk);
      return true;
    };
    for (const LayoutVolume& volume : controller.Volumes) {
      for (const LayoutDisk& disk : volume.Disks) {
        if (!check(disk)) return false;
      }
    }
    for (const LayoutDisk& disk : controller.HotSpares) {
      if (!check(disk)) return false;
    }
    return true;
  }

  bool Version(const json& root) {
    auto version = root.find("volkit_layout_version");
    if (version == root.end()) return Refuse("", "the key \"volkit_layout_version\" is missing");
    if (!version->is_array() || version->size() != 2 || !(*version)[0].is_number_unsigned() ||
        !(*version)[1].is_number_unsigned())
      return Refuse("volkit_layout_version", "must be [major, minor]");
    if ((*version)[0].get<uint64_t>() != kLayoutMajorVersion)
      return Refuse("volkit_layout_version",
                    "version " + std::to_string((*version)[0].get<uint64_t>()) +
                        " is not understood (this volkit reads version 1)");
    return true;
  }

  bool Document(const json& root, LayoutDocument* document) {
    if (!root.is_object()) return Refuse("", "a layout document is a JSON object");
    if (!Version(root)) return false;
    if (!OnlyKnownKeys(root, "", {"volkit_layout_version", "controllers"})) return false;
    auto controllers = root.find("controllers");
    if (controllers == root.end()) return Refuse("", "the key \"controllers\" is missing");
    if (!controllers->is_array()) return Refuse("controllers", "must be a list");
    for (size_t i = 0; i < controllers->size(); ++i) {
      std::string where = "controllers[" + std::to_string(i) + "]";
      LayoutController controller;
      if (!Controller((*controllers)[i], where, &controller)) return false;
      if (FindLayoutController(*document, controller.Controller) != nullptr)
        return Refuse(where + ".controller",
                      "controller " + std::to_string(controller.Controller) + " is listed twice");
      document->Controllers.push_back(std::move(controller));
    }
    return true;
  }
};

}  // namespace

int ParseLayoutText(const std::string& text, LayoutDocument* document, std::string* error) {
  *document = {};
  if (!CheckLayoutSyntax(text, error)) return 0;
  json root = json::parse(text, nullptr, false);
  if (root.is_discarded()) {
    *error = "not valid JSON";
    return 0;
  }
  Reader reader;
  if (reader.Document(root, document)) return 1;
  *error = reader.Error;
  *document = {};
  return 0;
}

int ReadLayoutFile(const char* path, LayoutDocument* document, std::string* error) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) {
    *error = std::strerror(errno);
    return 0;
  }
  std::string text;
  char chunk[4096];
  size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0 && text.size() <= kMaxLayoutBytes) {
    text.append(chunk, n);
  }
  bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    *error = "cannot be read";
    return 0;
  }
  if (text.size() > kMaxLayoutBytes) {
    *error = "larger than a layout document can be";
    return 0;
  }
  return ParseLayoutText(text, document, error);
}

const LayoutController* FindLayoutController(const LayoutDocument& document, uint32_t number) {
  for (const LayoutController& c : document.Controllers) {
    if (c.Controller == number) return &c;
  }
  return nullptr;
}
