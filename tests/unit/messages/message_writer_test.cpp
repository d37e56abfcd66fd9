#include "messages/message_writer.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "profiles/option_set.h"

namespace tw {
namespace {

class MessageWriterTest : public ::testing::Test {
 protected:
  test::FakePlatform fake;
  OptionSet options;
  MessageWriter writer{options.IgnoreError8, fake.platform};

  std::string Log() { return fake.files.files["Tunewright.log"]; }
};

struct ComposeCase {
  std::string text;
  int32_t code;
  bool system;
  std::string expected;
};

TEST_F(MessageWriterTest, ComposeErrorTextAppendsCodeAndItsText) {
  const ComposeCase cases[] = {
      {"Failed to get adapters count", -8, false,
       "Failed to get adapters count (ErrorCode: -8) (ADL_ERR_NOT_SUPPORTED - Function not supported by the driver)"},
      {"Failed", -1, false, "Failed (ErrorCode: -1)"},
      {"Failed", -13, false, "Failed (ErrorCode: -13)"},
      {"Failed", 0, false, "Failed"},
      {"Failed", 0, true, "Failed"},
      {"Failed", 3, false, "Failed (ErrorCode: 3) (ADL_OK_RESTART - All OK, but need restart)"},
      {"Failed", -20, false,
       "Failed (ErrorCode: -20) (ADL_ERR_SET_INCOMPLETE - Failed to update some of the values. Can be returned by "
       "set request that include multiple values if not all values were successfully committed)"},
      {"Failed", 5, true, "Failed (ErrorCode: 5) (Access is denied.)"},  // CR LF of the system text removed
      {"Failed", 1234, true, "Failed (ErrorCode: 1234)"},                // no system text for the code
  };
  for (const ComposeCase& c : cases)
    EXPECT_EQ(writer.ComposeErrorText(c.text, c.code, c.system), c.expected) << c.text << " " << c.code;
}

TEST(AdlErrorTextTest, EveryListedCodeHasItsTextAndOthersNone) {
  for (int code : {4, 3, 2, 1, -2, -3, -4, -5, -6, -7, -8, -9, -10, -11, -12, -20, -21})
    EXPECT_FALSE(AdlErrorText(code).empty()) << code;
  for (int code : {0, -1, -13, -19, -22, -28, 5, 100}) EXPECT_TRUE(AdlErrorText(code).empty()) << code;
  EXPECT_EQ(AdlErrorText(-7), "ADL_ERR_INVALID_DIPLAY_IDX - Invalid display index passed");
}

TEST_F(MessageWriterTest, ConsoleLinesCarryPrefixAndAttributeThenRestoreSeven) {
  writer.ReportMessage("bad", true, -8, MessageKind::Error);
  writer.ReportMessage("fine", true, 0, MessageKind::Info);
  writer.ReportMessage("fine too", true, 0, MessageKind::InfoIcon);
  writer.ReportMessage("careful", true, 0, MessageKind::Warning);
  const std::vector<std::string> expected = {
      "attr:12",
      "write:ERROR: bad (ErrorCode: -8) (ADL_ERR_NOT_SUPPORTED - Function not supported by the driver)\n",
      "attr:7",
      "attr:10",
      "write:INFO: fine\n",
      "attr:7",
      "attr:10",
      "write:INFO: fine too\n",
      "attr:7",
      "attr:14",
      "write:WARNING: careful\n",
      "attr:7"};
  EXPECT_EQ(fake.console.events, expected);
  EXPECT_TRUE(fake.dialogs.boxes.empty());
}

TEST_F(MessageWriterTest, ConsoleLineHasEveryLineBreakRemovedAndTextIsNotAFormat) {
  writer.ReportMessage("Wrong command: -wait\r\n\"x\" cannot %s %d be used", true);
  EXPECT_EQ(fake.console.Output(), "ERROR: Wrong command: -wait\"x\" cannot %s %d be used\n");
}

TEST_F(MessageWriterTest, EmptyConsoleTextOnlyRestoresTheAttribute) {
  writer.ReportMessage("", true, 0, MessageKind::Error);
  EXPECT_EQ(fake.console.events, std::vector<std::string>{"attr:7"});
}

TEST_F(MessageWriterTest, IgnoreErrorMinus8DropsDriverCodeButNotSystemCode) {
  options.IgnoreError8 = true;
  writer.ReportMessage("dropped", true, -8);
  writer.ReportMessage("dropped box", false, -8);
  writer.ShowError("dropped error", -8);
  EXPECT_TRUE(fake.console.events.empty());
  EXPECT_TRUE(fake.dialogs.boxes.empty());

  writer.ReportMessage("shown", true, -8, MessageKind::Error, /*codeIsSystemError=*/true);
  writer.ShowError("shown box", -8, true);
  EXPECT_EQ(fake.console.Output(), "ERROR: shown (ErrorCode: -8)\n");
  ASSERT_EQ(fake.dialogs.boxes.size(), 1u);
  EXPECT_EQ(fake.dialogs.boxes[0].text, "shown box (ErrorCode: -8)");
}

TEST_F(MessageWriterTest, ShowNotSupportedScopeLiftsTheIgnoreSettingOnlyWhileAlive) {
  options.IgnoreError8 = true;
  {
    MessageWriter::ShowNotSupportedScope scope(writer);
    writer.ShowError("Failed to set Fan to automode", -8);
  }
  writer.ShowError("hidden again", -8);
  ASSERT_EQ(fake.dialogs.boxes.size(), 1u);
  EXPECT_EQ(fake.dialogs.boxes[0].text,
            "Failed to set Fan to automode (ErrorCode: -8) (ADL_ERR_NOT_SUPPORTED - Function not supported by the "
            "driver)");
}

TEST_F(MessageWriterTest, ConsoleScopeSendsEvenTheErrorBoxToTheConsoleOnlyWhileAlive) {
  {
    MessageWriter::ConsoleScope console(writer, true);
    writer.ShowError("Failed to restart", 5, true);
    writer.ReportMessage("asked for a box", false, 0, MessageKind::Warning);
    {
      MessageWriter::ConsoleScope before(writer, false);  // an argument placed before "-consoleonly"
      writer.ShowError("boxed");
    }
    writer.ShowError("console again");
  }
  writer.ShowError("window");
  EXPECT_EQ(fake.console.Output(),
            "ERROR: Failed to restart (ErrorCode: 5) (Access is denied.)\nWARNING: asked for a box\n"
            "ERROR: console again\n");
  ASSERT_EQ(fake.dialogs.boxes.size(), 2u);
  EXPECT_EQ(fake.dialogs.boxes[0].text, "boxed");
  EXPECT_EQ(fake.dialogs.boxes[1].text, "window");
}

TEST_F(MessageWriterTest, ConsoleScopeFallsBackToTheBoxWhenNoConsoleCanBeReached) {
  fake.console.attachSucceeds = false;
  fake.console.attachError = 6;
  MessageWriter::ConsoleScope console(writer, true);
  writer.ShowError("no console");
  ASSERT_EQ(fake.dialogs.boxes.size(), 1u);
  EXPECT_EQ(fake.dialogs.boxes[0].text, "no console");
  EXPECT_EQ(fake.dialogs.boxes[0].icon, BoxIcon::Error);
}

TEST_F(MessageWriterTest, BoxesByKind) {
  writer.ReportMessage("e", false, -3, MessageKind::Error);
  writer.ReportMessage("i", false, 0, MessageKind::Info);
  writer.ReportMessage("ii", false, 0, MessageKind::InfoIcon);
  writer.ReportMessage("w", false, 0, MessageKind::Warning);
  ASSERT_EQ(fake.dialogs.boxes.size(), 4u);
  EXPECT_EQ(fake.dialogs.boxes[0].text,
            "e (ErrorCode: -3) (ADL_ERR_INVALID_PARAM - One of the parameter passed is invalid)");
  EXPECT_EQ(fake.dialogs.boxes[0].icon, BoxIcon::Error);
  EXPECT_TRUE(fake.dialogs.boxes[0].topMost);
  EXPECT_EQ(fake.dialogs.boxes[1].icon, BoxIcon::None);
  EXPECT_EQ(fake.dialogs.boxes[2].icon, BoxIcon::Information);
  EXPECT_EQ(fake.dialogs.boxes[3].icon, BoxIcon::Warning);
  for (size_t i = 1; i < 4; ++i) EXPECT_FALSE(fake.dialogs.boxes[i].topMost);
  for (const auto& box : fake.dialogs.boxes) EXPECT_EQ(box.caption, "Tunewright");
  EXPECT_TRUE(fake.console.events.empty());
}

TEST_F(MessageWriterTest, GatherScopeShowsItsBoxesAsOneWithTheGravestIcon) {
  {
    MessageWriter::GatherScope gathered(writer);
    gathered.Label("Card 1: ");
    writer.ReportMessage("w", false, 0, MessageKind::Warning);
    writer.ShowError("e", -3);
    writer.ReportMessage("console", true, 0, MessageKind::Info);  // a line, not held
    gathered.Label("Card 2: ");
    writer.ReportMessage("i", false, 0, MessageKind::InfoIcon);
    EXPECT_TRUE(fake.dialogs.boxes.empty());
  }
  ASSERT_EQ(fake.dialogs.boxes.size(), 1u);
  EXPECT_EQ(fake.dialogs.boxes[0].text,
            "Card 1: w\r\n\r\nCard 1: e (ErrorCode: -3) (ADL_ERR_INVALID_PARAM - One of the parameter passed is "
            "invalid)\r\n\r\nCard 2: i");
  EXPECT_EQ(fake.dialogs.boxes[0].icon, BoxIcon::Error);
  EXPECT_TRUE(fake.dialogs.boxes[0].topMost);
  { MessageWriter::GatherScope nothing(writer); }
  EXPECT_EQ(fake.dialogs.boxes.size(), 1u) << "a scope that held nothing shows nothing";
}

TEST_F(MessageWriterTest, FailedAttachIsLoggedAndFallsBackToBoxesTryingAgainEachTime) {
  fake.console.attachSucceeds = false;
  fake.console.attachError = 6;
  writer.ReportMessage("first", true, 0, MessageKind::Warning);
  writer.ReportMessage("", true);  // empty text: nothing shown, but attaching is tried again
  writer.ReportMessage("second", true);
  EXPECT_EQ(fake.console.attachCalls, 3);
  ASSERT_EQ(fake.dialogs.boxes.size(), 2u);
  EXPECT_EQ(fake.dialogs.boxes[0].icon, BoxIcon::Warning);
  EXPECT_EQ(fake.dialogs.boxes[1].icon, BoxIcon::Error);
  const std::string entry =
      "09.12.2026 06:21:12 - ERROR: AttachConsole function failed (ErrorCode: 6) (The handle is invalid.)\r\n";
  EXPECT_EQ(Log(), entry + entry + entry);
}

TEST_F(MessageWriterTest, AccessDeniedAttachMeansTheProcessHasAConsole) {
  fake.console.attachSucceeds = false;
  fake.console.attachError = 5;
  writer.ReportMessage("x", true);
  writer.ReportMessage("y", true);
  EXPECT_EQ(fake.console.attachCalls, 1);
  EXPECT_EQ(fake.console.Output(), "ERROR: x\nERROR: y\n");
  EXPECT_TRUE(fake.files.files.empty());
}

TEST_F(MessageWriterTest, InvalidStandardOutputIsLogged) {
  fake.console.stdOutputValid = false;
  fake.console.stdOutputError = 6;
  EXPECT_FALSE(writer.AttachParentConsole());
  EXPECT_EQ(Log(), "09.12.2026 06:21:12 - ERROR: GetStdHandle function failed (ErrorCode: 6) (The handle is invalid.)\r\n");
}

TEST_F(MessageWriterTest, FailedBindIsNotLoggedAndAttachIsRetried) {
  fake.console.bindSucceeds = false;
  EXPECT_FALSE(writer.AttachParentConsole());
  fake.console.bindSucceeds = true;
  EXPECT_TRUE(writer.AttachParentConsole());
  EXPECT_TRUE(writer.AttachParentConsole());
  EXPECT_EQ(fake.console.attachCalls, 2);
  EXPECT_TRUE(fake.files.files.empty());
}

TEST_F(MessageWriterTest, LogLinesArePlainOrErrorAndAppended) {
  writer.WriteLogLine("\"Tunewright.ini\" was restored from \"x\"", 99, false, true);
  writer.WriteLogLine("CreateFile function failed", 2, true, false);
  EXPECT_EQ(Log(),
            "09.12.2026 06:21:12 - \"Tunewright.ini\" was restored from \"x\"\r\n"
            "09.12.2026 06:21:12 - ERROR: CreateFile function failed (ErrorCode: 2) (The system cannot find the "
            "file specified.)\r\n");
}

TEST_F(MessageWriterTest, LogWriteFailureIsSwallowed) {
  fake.files.failures["AppendToFile"] = 5;
  writer.WriteLogLine("anything", 0, false, true);
  EXPECT_TRUE(fake.files.files.empty());
}

TEST_F(MessageWriterTest, FlushFailuresGoToTheLog) {
  fake.files.files["C:/x/Tunewright.ini"] = "data";
  writer.FlushFileToDisk("C:/x/Tunewright.ini");
  EXPECT_TRUE(Log().empty());

  writer.FlushFileToDisk("C:/x/missing.ini");
  EXPECT_EQ(Log(), "09.12.2026 06:21:12 - ERROR: CreateFile function failed (ErrorCode: 2) (The system cannot "
                   "find the file specified.)\r\n");

  fake.files.files.erase("Tunewright.log");
  fake.files.failures["FlushBuffers"] = 5;
  writer.FlushFileToDisk("C:/x/Tunewright.ini");
  EXPECT_EQ(Log(), "09.12.2026 06:21:12 - ERROR: FlushFileBuffers function failed (ErrorCode: 5) (Access is "
                   "denied.)\r\n");
}

}  // namespace
}  // namespace tw
