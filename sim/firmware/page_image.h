// Turning a controller's stored page values into configuration page images
// and page writes back into stored values.
#pragma once

#include <cstdint>

#include "firmware/page_table.h"
#include "model/bytes.h"
#include "model/model.h"

namespace vxtsim {

struct PageHeader {
  uint8_t version;
  uint16_t length_words;  // ordinary pages use the low 8 bits
};

// Whether the controller has this page at all.
bool PageAvailable(const Controller& ctl, const PageDef& def);
PageHeader HeaderOf(const Controller& ctl, const PageDef& def);

// Builds the page at an address from the current (or the non-volatile)
// values. Returns an IocStatus; the image is valid only on success.
uint16_t BuildPage(const Controller& ctl, const PageDef& def, uint32_t address, bool nvram,
                   Bytes& out);

// Stores a written image: its named fields become the page's values and any
// other byte that differs is kept as a patch, so a read gives back exactly the
// image. Writing to non-volatile memory updates both copies; writing the
// current copy leaves the non-volatile one as it was.
void StorePage(Controller& ctl, const PageDef& def, bool to_nvram, const Bytes& image);

// Makes the non-volatile copies current, as a controller reset does.
void CommitNvram(Controller& ctl);

// Lays raw byte patches over an image.
void ApplyPatches(const Patches& patches, Bytes& page);

}  // namespace vxtsim
