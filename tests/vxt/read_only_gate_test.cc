// A context marked read-only sends only the reads of the one list: anything
// else fails unsent, like a request the driver refused, and is counted.
#include <gtest/gtest.h>

#include "vxt/config_page.h"
#include "vxt/driver_records.h"
#include "vxt/pages.h"
#include "vxt/raid_action.h"
#include "vxt/request_gate.h"
#include "vxt/scsi.h"
#include "vxt/unconnected_context.h"

namespace {

using volkit_test::UnconnectedContext;

TEST(ReadOnlyGate, WritesAndActionsFailUnsent) {
  ControllerInfo* c = UnconnectedContext(true);
  PageBuffer page(16, 0);
  page[1] = 4;
  EXPECT_EQ(VxtConfigWritePage(c, kPageActionWriteCurrent, 0, page), 0);
  EXPECT_EQ(RaidActionCreateVolume(c, 0, 0, {}), 0);
  EXPECT_EQ(RaidActionPhysDiskOffline(c, 1), 0);
  uint32_t slot_status = kSlotStatusIdentify;
  EXPECT_EQ(
      VxtSEPMessage(c, kSepActionWriteStatus, 0, 0, 1, 0, kSepFlagsEnclosureSlot, &slot_status), 0);
  uint8_t block[512] = {};
  EXPECT_EQ(ScsiReadWrite(c, PlainTarget(0), ScsiTransfer::kWrite, 0, 1, block, sizeof block, 1),
            0);
  EXPECT_EQ(c->RefusedRequests, 5u);
  EXPECT_EQ(c->RequestsSent, 0u);

  // Reads go out (and fail here only for want of a controller).
  PageHeader header{};
  EXPECT_EQ(ReadPageHeader(c, kPageTypeIoc, 2, &header), 0);
  VolumeProgress progress{};
  EXPECT_EQ(RaidActionVolumeProgress(c, 0, 0, &progress), 0);
  EXPECT_EQ(c->RefusedRequests, 5u);
  EXPECT_GT(c->RequestsSent, 0u);
  ReleaseController(c);
}

// The send routine tells a refusal from a driver failure, and neither is sent.
TEST(ReadOnlyGate, SendOutcomeNamesWhyNothingCameBack) {
  ControllerInfo* c = UnconnectedContext(true);
  PrepareRequest(c, kFunctionRaidAction, 48, 10, 20);
  PutU8(Frame(c), 0, kRaidActionDeleteVolume);
  EXPECT_EQ(SendRequest(c, &c->Request), SendOutcome::kRefused);
  EXPECT_EQ(c->RequestsSent, 0u);
  c->ReadOnly = false;
  EXPECT_EQ(SendRequest(c, &c->Request), SendOutcome::kDriverFailed);
  EXPECT_EQ(c->RequestsSent, 2u);  // one try and its retry
  EXPECT_FALSE(WasSent(SendOutcome::kRefused));
  EXPECT_FALSE(WasSent(SendOutcome::kDriverFailed));
  EXPECT_TRUE(WasSent(SendOutcome::kNoReplyFrame));
  ReleaseController(c);
}

TEST(ReadOnlyGate, TheListHoldsTheReadsOnly) {
  auto kind = [](uint8_t function, uint8_t byte0) {
    PassThroughRecord record{};
    record.MessageFrame[3] = function;
    record.MessageFrame[0] = byte0;
    return ClassifyRequest(kPassThroughCode, &record);
  };
  for (uint8_t action : {0, 1, 5, 6}) {
    EXPECT_TRUE(ReadOnlyAllows(kind(kFunctionConfig, action))) << int{action};
  }
  for (uint8_t action : {2, 4}) EXPECT_FALSE(ReadOnlyAllows(kind(kFunctionConfig, action)));
  EXPECT_TRUE(ReadOnlyAllows(kind(kFunctionRaidAction, kRaidActionProgress)));
  EXPECT_FALSE(ReadOnlyAllows(kind(kFunctionRaidAction, kRaidActionDeleteVolume)));
  // Capture reads each disk's block 0; a snapshot has no use for it.
  EXPECT_FALSE(ReadOnlyAllows(RequestKind::kReadBlockZero));
  ResetRecord reset{};
  EXPECT_FALSE(ReadOnlyAllows(ClassifyRequest(kResetCode, &reset)));
}

}  // namespace
