// A named call that takes a RequestStatus tells why it failed: refused by the
// read-only gate, failed at the driver (with the driver's error), or answered
// with an IocStatus.
#include <gtest/gtest.h>

#include <cerrno>

#include "vxt/config_page.h"
#include "vxt/page_walk.h"
#include "vxt/raid_action.h"
#include "vxt/unconnected_context.h"

namespace {

using volkit_test::UnconnectedContext;

TEST(RequestStatus, NamesTheDriversErrorWhenNothingCameBack) {
  ControllerInfo* c = UnconnectedContext(false);
  RequestStatus status;
  PageHeader header{};
  EXPECT_EQ(ReadPageHeader(c, kPageTypeIoc, 2, &header, &status), 0);
  EXPECT_EQ(status.Outcome, SendOutcome::kDriverFailed);
  EXPECT_EQ(status.DriverError, EBADF);
  EXPECT_FALSE(StatusOk(status));
  EXPECT_FALSE(NoSuchPage(status));

  // A walk that fails hands back the status of the read that failed.
  status = {};
  EXPECT_EQ(WalkExtendedPages(
                c, kExtPageTypeSasDevice, SasDevicePg0DevHandle, [](ConstBytes) {}, &status),
            0);
  EXPECT_EQ(status.Outcome, SendOutcome::kDriverFailed);
  ReleaseController(c);
}

TEST(RequestStatus, NamesARefusalAsSuch) {
  ControllerInfo* c = UnconnectedContext(true);
  RequestStatus status;
  uint32_t slot_status = kSlotStatusIdentify;
  EXPECT_EQ(VxtSEPMessage(c, kSepActionWriteStatus, 0, 0, 1, 0, kSepFlagsEnclosureSlot,
                          &slot_status, &status),
            0);
  EXPECT_EQ(status.Outcome, SendOutcome::kRefused);
  EXPECT_EQ(status.DriverError, 0);
  EXPECT_FALSE(StatusOk(status));
  ReleaseController(c);
}

TEST(RequestStatus, APageTheControllerLacksIsTheInvalidPageReply) {
  EXPECT_TRUE(NoSuchPage({SendOutcome::kReplied, kIocStatusInvalidPage, 0}));
  EXPECT_FALSE(NoSuchPage({SendOutcome::kReplied, 0x8022, 0}));
  EXPECT_FALSE(NoSuchPage({SendOutcome::kDriverFailed, kIocStatusInvalidPage, EIO}));
  // The log-information bit does not make a status a failure.
  EXPECT_TRUE(StatusOk({SendOutcome::kReplied, 0x8000, 0}));
  EXPECT_TRUE(StatusOk({SendOutcome::kNoReplyFrame, 0, 0}));
  EXPECT_FALSE(StatusOk({SendOutcome::kReplied, 0x0004, 0}));
}

}  // namespace
