// The layout document reader: what it accepts, and that each refusal names
// the place in the document where the fault is.
#include "layout/layout_document.h"

#include <gtest/gtest.h>

#include <string>

#include "layout/layout_words.h"

namespace {

std::string Refusal(const std::string& text) {
  LayoutDocument doc;
  std::string error;
  EXPECT_EQ(ParseLayoutText(text, &doc, &error), 0) << text;
  EXPECT_TRUE(doc.Controllers.empty());
  return error;
}

std::string WithVolume(const std::string& volume, const std::string& extra = "") {
  return R"({"volkit_layout_version": [1, 0], "controllers": [{"controller": 0,
    "volumes": [{"type": "im", "disks": ["1:0", "1:1"]}, )" +
         volume + "]" + extra + "}]}";
}

TEST(LayoutDocument, ReadsEveryFormOfTheExample) {
  const std::string text = R"({ "volkit_layout_version": [1, 0],
    "controllers": [ {
      "controller": 0,
      "volumes": [ {"type": "RAID1", "disks": ["1:2", {"disk": "1:3", "serial": "3LM0A1C3"}],
                    "size_mb": "max", "qsync": true},
                   {"type": "is", "disks": [4, "5"], "size_mb": "0x800"} ],
      "hot_spares": ["1:9"],
      "prune": true },
      {"controller": 1} ] })";
  LayoutDocument doc;
  std::string error;
  ASSERT_EQ(ParseLayoutText(text, &doc, &error), 1) << error;
  ASSERT_EQ(doc.Controllers.size(), 2u);
  const LayoutController& c = doc.Controllers[0];
  EXPECT_TRUE(c.Prune);
  ASSERT_EQ(c.Volumes.size(), 2u);
  EXPECT_EQ(c.Volumes[0].Type, 2);
  EXPECT_FALSE(c.Volumes[0].SizeMB);
  EXPECT_TRUE(c.Volumes[0].QuickSync);
  EXPECT_EQ(PlaceText(c.Volumes[0].Disks[1].Place), "1:3");
  EXPECT_EQ(c.Volumes[0].Disks[1].Serial, "3LM0A1C3");
  EXPECT_EQ(c.Volumes[1].Type, 0);
  EXPECT_EQ(c.Volumes[1].SizeMB, 2048u);
  EXPECT_EQ(PlaceText(c.Volumes[1].Disks[0].Place), "4");
  EXPECT_EQ(PlaceText(c.HotSpares[0].Place), "1:9");
  EXPECT_EQ(doc.Controllers[1].Controller, 1u);
  EXPECT_FALSE(doc.Controllers[1].Prune);
  EXPECT_NE(FindLayoutController(doc, 1), nullptr);
  EXPECT_EQ(FindLayoutController(doc, 2), nullptr);
}

TEST(LayoutDocument, RefusesWithThePlaceOfTheFault) {
  EXPECT_EQ(Refusal(WithVolume(R"({"type": "im", "disks": ["1:2", "1:3", "1:0"]})")),
            "controllers[0].volumes[1].disks[2]: the drive 1:0 is named twice (also at "
            "controllers[0].volumes[0].disks[0])");
  EXPECT_EQ(Refusal(WithVolume(R"({"type": "raid5", "disks": ["1:2"]})")),
            "controllers[0].volumes[1].type: must be im, raid1, ime, raid1e, is or raid0");
  EXPECT_EQ(Refusal(WithVolume(R"({"type": "im", "disks": ["1:2"], "size": 5})")),
            "controllers[0].volumes[1]: unknown key \"size\"");
  EXPECT_EQ(Refusal(WithVolume(R"({"type": "im", "disks": ["1:2"], "qsync": "yes"})")),
            "controllers[0].volumes[1].qsync: must be true or false");
  EXPECT_EQ(Refusal(WithVolume(R"({"type": "im", "disks": [{"disk": "1:2", "serial": 7}]})")),
            "controllers[0].volumes[1].disks[0].serial: must be a serial number");
  EXPECT_EQ(Refusal(WithVolume(R"({"type": "im", "disks": ["x:2"]})")),
            "controllers[0].volumes[1].disks[0]: \"x:2\" names no drive");
  EXPECT_EQ(Refusal(WithVolume(R"({"type": "im", "disks": [-1]})")),
            "controllers[0].volumes[1].disks[0]: must be a drive (\"Encl:Bay\" or a target ID)");
  EXPECT_EQ(Refusal(WithVolume(R"({"type": "is", "disks": ["2"], "size_mb": 0})")),
            "controllers[0].volumes[1].size_mb: must be \"max\" or a size in megabytes");
  EXPECT_EQ(Refusal(WithVolume(R"({"type": "im", "disks": []})")),
            "controllers[0].volumes[1].disks: must be a list of drives");
  EXPECT_EQ(
      Refusal(WithVolume(R"({"type": "im", "disks": ["1:4"]})", R"(, "hot_spares": ["1:4"])")),
      "controllers[0].hot_spares[0]: the drive 1:4 is named twice (also at "
      "controllers[0].volumes[1].disks[0])");
  EXPECT_EQ(Refusal(WithVolume(R"({"type": "im", "disks": ["1:4"]})", R"(, "prune": 1)")),
            "controllers[0].prune: must be true or false");
}

TEST(LayoutDocument, RefusesWholeDocumentFaults) {
  EXPECT_EQ(Refusal(R"({"volkit_layout_version": [2, 0], "controllers": []})"),
            "volkit_layout_version: version 2 is not understood (this volkit reads version 1)");
  EXPECT_EQ(Refusal(R"({"controllers": []})"), "the key \"volkit_layout_version\" is missing");
  EXPECT_EQ(Refusal(R"({"volkit_layout_version": [1, 0], "controllers": [], "x": 1})"),
            "unknown key \"x\"");
  EXPECT_EQ(Refusal(R"({"volkit_layout_version": [1, 0], "controllers": [{"controller": 0},
            {"controller": 0}]})"),
            "controllers[1].controller: controller 0 is listed twice");
  EXPECT_EQ(Refusal(R"({"volkit_layout_version": [1, 0], "controllers": [{"controller": 256}]})"),
            "controllers[0].controller: must be a controller number between 0 and 255");
  // A key given twice would otherwise pass with one of its values.
  EXPECT_EQ(Refusal(R"({"volkit_layout_version": [1, 0], "controllers": [{"controller": 0,
            "prune": false, "prune": true}]})"),
            "the key \"prune\" is given twice in one object");
  EXPECT_EQ(Refusal("[1, 0]"), "a layout document is a JSON object");
  EXPECT_EQ(Refusal(R"({"volkit_layout_version": [1, 0], "controllers": [)"),
            "not valid JSON (at byte 51)");
  EXPECT_EQ(Refusal(std::string(100, '[') + std::string(100, ']')), "nested too deeply");
  EXPECT_EQ(Refusal("{\"volkit_layout_version\": [1, 0], \"controllers\": [], \"\xff\": 1}"),
            "not valid JSON (at byte 55)");
}

TEST(LayoutDocument, PlacesAndSizesAsCreateReadsThem) {
  LayoutPlace p;
  EXPECT_EQ(ParsePlace("2:14", &p), 1);
  EXPECT_TRUE(p.EnclBay);
  EXPECT_EQ(ParsePlace("255", &p), 1);
  EXPECT_EQ(p.Target, 255u);
  for (const char* bad : {"256", "0:1", "1:", ":1", "1:2:3", " 1", "+1", "1:65536", ""})
    EXPECT_EQ(ParsePlace(bad, &p), 0) << bad;
  bool max = false;
  uint64_t size = 0;
  EXPECT_EQ(ParseSizeWord("MAX", &max, &size), 1);
  EXPECT_TRUE(max);
  EXPECT_EQ(ParseSizeWord("010", &max, &size), 1);
  EXPECT_EQ(size, 8u);
  for (const char* bad : {"0", "-5", " 5", "5k", "maximum", "99999999999999999999999"})
    EXPECT_EQ(ParseSizeWord(bad, &max, &size), 0) << bad;
}

}  // namespace
