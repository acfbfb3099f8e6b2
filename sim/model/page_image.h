// Turning a controller's lab state into configuration page images and page
// writes back into lab state.
#pragma once

#include <cstdint>

#include "bytes.h"
#include "page_table.h"

namespace vxtsim {

struct PageHeader {
  uint8_t version;
  uint16_t length_words;  // ordinary pages use the low 8 bits
};

// Whether the controller has this page at all.
bool PageAvailable(const json& ctl, const PageDef& def);
PageHeader HeaderOf(const json& ctl, const PageDef& def);

// Builds the page at an address from the current (or the non-volatile)
// values. Returns an IocStatus; the image is valid only on success.
uint16_t BuildPage(const json& ctl, const PageDef& def, uint32_t address, bool nvram,
                   Bytes& out);

// Stores a written image: its named fields become the page's values and any
// other byte that differs is kept as a patch, so a read gives back exactly the
// image. Writing to non-volatile memory updates both copies; writing the
// current copy leaves the non-volatile one as it was.
void StorePage(json& ctl, const PageDef& def, bool to_nvram, const Bytes& image);

// Makes the non-volatile copies current, as a controller reset does.
void CommitNvram(json& ctl);

// Applies a lab's raw byte patches, {"offset": "hex bytes"}, to an image.
void ApplyPatches(const json& patches, Bytes& page);

}  // namespace vxtsim
