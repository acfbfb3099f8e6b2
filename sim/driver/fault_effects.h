// Effects of fault rules on a message the firmware would otherwise answer.
#pragma once

#include "firmware/firmware.h"

namespace vxtsim {

// Whether the effect answers in the firmware's place (the request is then
// not carried out).
bool EffectReplacesWork(const FaultEffect& effect);
void EffectReply(const FaultEffect& effect, const Message& msg, Completion& out);
// Effects on a reply the firmware produced: a short transfer.
void EffectAfterWork(const FaultEffect& effect, const Message& msg, Completion& out);

}  // namespace vxtsim
