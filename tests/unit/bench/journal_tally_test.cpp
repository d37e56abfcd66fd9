#include "journal_tally.h"

#include <gtest/gtest.h>

namespace tw::bench {
namespace {

constexpr const char* kJournal =
    "ADL2_Main_Control_Create enum_connected=1 result=0 us=120 pid=41\n"
    "# a note us=99999 pid=41\n"
    "ADL2_Adapter_AdapterInfo_Get count=2 bytes=3144 result=0 us=30 pid=41\n"
    "ERROR adlsim: bad state us=5 pid=41\n"
    "adlsim_DisplayDevice_FriendlyName index=0 name=\"a us=7 pid=41\" result=0 us=4 pid=41\n"
    "ADL2_Main_Control_Create enum_connected=1 result=0 us=500 pid=77\r\n"
    "ADL2_Main_Control_Destroy result=0 us=6 pid=41\n"
    "ADL2_Broken result=0 us=x pid=41\n"
    "ADL2_Main_Control_Destroy result=0 us=8 pid=41";

TEST(JournalTallyTest, CountsTheCallsAndTimeOfOneProcess) {
  const JournalTally tally = TallyJournal(kJournal, 41);
  EXPECT_EQ(tally.lines, 5);
  EXPECT_EQ(tally.simulatorUs, 120 + 30 + 4 + 6 + 8) << "notes, errors, other processes and a quoted us= are left out";
  EXPECT_EQ(tally.Count("ADL2_Main_Control_Create"), 1);
  EXPECT_EQ(tally.Count("ADL2_Main_Control_Destroy"), 2) << "the last line needs no line feed";
  EXPECT_EQ(tally.Count("adlsim_DisplayDevice_FriendlyName"), 1);
  EXPECT_EQ(tally.Count("ADL2_Broken"), 0) << "a line whose us is not a number is not a call";
  EXPECT_EQ(tally.DriverCalls(), 4) << "machine services are not driver calls";
}

TEST(JournalTallyTest, AnyProcessTakesEveryCallLine) {
  const JournalTally tally = TallyJournal(kJournal, kAnyProcess);
  EXPECT_EQ(tally.Count("ADL2_Main_Control_Create"), 2);
  EXPECT_EQ(tally.simulatorUs, 120 + 30 + 4 + 500 + 6 + 8);
}

TEST(JournalTallyTest, AnEmptyJournalCountsNothing) {
  const JournalTally tally = TallyJournal("", kAnyProcess);
  EXPECT_EQ(tally.lines, 0);
  EXPECT_EQ(tally.simulatorUs, 0);
  EXPECT_TRUE(tally.calls.empty());
}

}  // namespace
}  // namespace tw::bench
