#include "ini/safe_file_writer.h"

#include <gtest/gtest.h>

#include "ini/ini_file.h"
#include "profiles/profiles_fixture.h"

namespace tw::test {
namespace {

class SafeFileWriterTest : public ProfilesTest {
 protected:
  const std::string original = Encode("[Profile_0]\nName=Precious\n\n");
  void SetUp() override { fake.files.files[IniKey()] = original; }
  bool Save() { return ReplaceFileSafely(fake.platform, app.messages, app.paths.iniPath, "new"); }
};

TEST_F(SafeFileWriterTest, WritesTemporaryFileThenMovesItOverThenFlushes) {
  EXPECT_TRUE(Save());
  EXPECT_EQ(fake.files.files[IniKey()], "new");
  EXPECT_FALSE(AnyTemporary());
  const std::vector<std::string> expected = {"WriteTemporaryFile " + IniKey(), "MoveFileOver " + IniKey(),
                                             "FlushOpen " + IniKey(), "FlushBuffers " + IniKey()};
  EXPECT_EQ(fake.files.calls, expected);
  EXPECT_TRUE(fake.dialogs.boxes.empty());
}

struct FailureCase {
  const char* operation;
  uint32_t code;
  std::string message;
};

TEST_F(SafeFileWriterTest, AnyFailureLeavesTheOriginalByteForByteAndRemovesTheTemporaryFile) {
  const FailureCase cases[] = {
      {"WriteTemporaryFile", 112, "Failed to save \"" + Shown(app.paths.iniPath) + "\" (ErrorCode: 112)"},
      {"MoveFileOver", 5, "Failed to save \"" + Shown(app.paths.iniPath) + "\" (ErrorCode: 5) (Access is denied.)"},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.operation);
    fake.files.failures = {{c.operation, c.code}};
    fake.dialogs.boxes.clear();
    EXPECT_FALSE(Save());
    EXPECT_EQ(fake.files.files[IniKey()], original);
    EXPECT_FALSE(AnyTemporary());
    ASSERT_EQ(fake.dialogs.boxes.size(), 1u);
    EXPECT_EQ(fake.dialogs.boxes[0].text, c.message);
    EXPECT_EQ(fake.dialogs.boxes[0].icon, BoxIcon::Error);
  }
}

TEST_F(SafeFileWriterTest, AReadOnlyFileIsRefusedAsWindowsWould) {
  fake.files.readOnly.insert(IniKey());
  EXPECT_FALSE(Save());
  EXPECT_EQ(fake.files.files[IniKey()], original);
  EXPECT_EQ(BoxTexts(),
            std::vector<std::string>{"Failed to save \"" + Shown(app.paths.iniPath) + "\" (ErrorCode: 5) (Access is denied.)"});
}

TEST_F(SafeFileWriterTest, AFailedFlushIsLoggedAndTheContentStays) {
  fake.files.failures["FlushBuffers"] = 29;
  EXPECT_TRUE(Save());
  EXPECT_EQ(fake.files.files[IniKey()], "new");
  EXPECT_NE(fake.files.files["Tunewright.log"].find("ERROR: FlushFileBuffers function failed (ErrorCode: 29)"),
            std::string::npos);
}

TEST_F(SafeFileWriterTest, SaveIniFileWritesUtf16WithMarkAndCrLf) {
  IniDocument doc;
  doc.SetValue("General", "EnableI2c", "1");
  EXPECT_TRUE(SaveIniFile(fake.platform, app.messages, app.paths.iniPath, doc));
  EXPECT_EQ(fake.files.files[IniKey()], EncodeIniText("[General]\r\nEnableI2c=1\r\n\r\n"));
}

TEST_F(SafeFileWriterTest, HandMadeFilesKeepTheirTextWhenRewritten) {
  // UTF-8 without mark, LF line ends, a comment and a foreign section: rewritten as UTF-16.
  fake.files.files[IniKey()] = "; mine\n[Other]\nName=caf\xC3\xA9\n[General]\nEnableI2c=0\n";
  std::optional<IniDocument> doc = LoadIniForRewrite(fake.platform, app.messages, app.paths.iniPath);
  ASSERT_TRUE(doc);
  doc->SetValue("General", "EnableI2c", "1");
  ASSERT_TRUE(SaveIniFile(fake.platform, app.messages, app.paths.iniPath, *doc));
  EXPECT_EQ(IniText(), "; mine\n[Other]\nName=caf\xC3\xA9\n\n[General]\nEnableI2c=1\n\n");
}

}  // namespace
}  // namespace tw::test
