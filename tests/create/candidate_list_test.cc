// The candidate list of a new volume: its reset and the roles its drives take.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "create/candidates.h"

namespace {

constexpr uint8_t kInquiry[36] = {};

TEST(CandidateList, ResetMarksRolesAndIdsUnsetForTheBus) {
  auto list = std::make_unique<CandidateList>();
  list->NumRAIDCandidates = 5;
  ResetCandidates(list.get(), kBusTypeSas, 3);
  EXPECT_EQ(list->NumRAIDCandidates, 0);
  EXPECT_EQ(list->PrimaryId, 128);
  EXPECT_EQ(list->SecondaryId, 128);
  EXPECT_EQ(list->CandidateIds[2], 128);
  EXPECT_EQ(list->CandidateIds[3], 0);

  // A type limit past the list's room marks the list and nothing beyond it.
  ResetCandidates(list.get(), kBusTypeScsi, 1000);
  EXPECT_EQ(list->PrimaryId, 16);
  EXPECT_EQ(list->CandidateIds[kMaxCandidateIds - 1], 16);
}

TEST(CandidateList, RolesGoByAcceptanceOrderAndTheListHasARoom) {
  auto list = std::make_unique<CandidateList>();
  ResetCandidates(list.get(), kBusTypeScsi, kMaxCandidateIds);
  // The first drive's ID equals the unset value: it is still the primary.
  ASSERT_EQ(AcceptCandidate(list.get(), 16, 1000, 512, kInquiry), 1);
  ASSERT_EQ(AcceptCandidate(list.get(), 3, 2000, 512, kInquiry), 1);
  ASSERT_EQ(AcceptCandidate(list.get(), 1, 3000, 512, kInquiry), 1);
  EXPECT_EQ(list->PrimaryId, 16);
  EXPECT_EQ(list->SecondaryId, 3);
  EXPECT_EQ(list->Candidates[1].Blocks, 2000u);
  EXPECT_EQ(list->Candidates[2].State, kCandidateUsable);

  for (int i = 3; i < kMaxCandidateIds; ++i) {
    ASSERT_EQ(AcceptCandidate(list.get(), static_cast<uint8_t>(i), 1, 512, kInquiry), 1);
  }
  EXPECT_EQ(AcceptCandidate(list.get(), 99, 1, 512, kInquiry), 0);
  EXPECT_EQ(list->NumRAIDCandidates, kMaxCandidateIds);
  EXPECT_EQ(CandidateCount(*list, 4), 4);

  list->NumRAIDCandidates = -1;
  EXPECT_EQ(CandidateCount(*list, kMaxCandidateIds), 0);
  EXPECT_EQ(AcceptCandidate(list.get(), 5, 1, 512, kInquiry), 0);
}

}  // namespace
