#include "ini/ini_document.h"

#include <gtest/gtest.h>

#include <string>

namespace tw {
namespace {

TEST(IniDocumentTest, SerializeGivesBackTheTextTheProgramWrote) {
  const std::string text =
      "[General]\r\nEnableI2c=1\r\nFanDeactivatedGpus=0;2\r\n\r\n"
      "[Profile_0]\r\nName=Daily\r\nGPU_P0=300;750\r\n\r\n"
      "[I2C]\r\nGPU0=7;32\r\n\r\n";
  EXPECT_EQ(IniDocument::Parse(text).Serialize(), text);
}

TEST(IniDocumentTest, NamesAreMatchedWithoutRegardToCaseAndValuesAreTrimmed) {
  const IniDocument doc = IniDocument::Parse("[general]\r\n  enablei2C =  1 \r\n");
  EXPECT_EQ(doc.Value("General", "EnableI2c"), "1");
  EXPECT_EQ(doc.Value("GENERAL", "ENABLEI2C"), "1");
  EXPECT_FALSE(doc.Value("General", "Enable").has_value());
  EXPECT_FALSE(doc.Value("Gen", "EnableI2c").has_value());
}

TEST(IniDocumentTest, ForeignSectionsAndLinesKeepContentAndOrderWhenAKeyChanges) {
  IniDocument doc = IniDocument::Parse(
      "; made by hand\r\n[Other]\r\nx=1\r\nline without equals\r\n; comment\r\n\r\n"
      "[General]\r\nEnableI2c=0\r\n\r\n[Tail]\r\ny=2\r\n\r\n");
  doc.SetValue("general", "enablei2c", "1");
  doc.SetValue("General", "ShowBusNumber", "1");
  EXPECT_EQ(doc.Serialize(),
            "; made by hand\r\n[Other]\r\nx=1\r\nline without equals\r\n; comment\r\n\r\n"
            "[General]\r\nEnableI2c=1\r\nShowBusNumber=1\r\n\r\n[Tail]\r\ny=2\r\n\r\n");
}

TEST(IniDocumentTest, EverySectionIsFollowedByExactlyOneEmptyLine) {
  IniDocument doc = IniDocument::Parse("[A]\nx=1\n[B]\ny=2\n\n\n\n");
  doc.SetValue("C", "z", "3");
  EXPECT_EQ(doc.Serialize(), "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n\r\n[C]\r\nz=3\r\n\r\n");
}

TEST(IniDocumentTest, FirstDuplicateWinsForReadingAndWritingAndLaterCopiesStay) {
  IniDocument doc = IniDocument::Parse("[A]\r\nk=1\r\nk=2\r\n\r\n[a]\r\nk=3\r\nonly=4\r\n\r\n");
  EXPECT_EQ(doc.Value("A", "k"), "1");
  EXPECT_FALSE(doc.Value("A", "only").has_value());  // the second [A] is not merged in
  doc.SetValue("A", "k", "9");
  EXPECT_EQ(doc.Serialize(), "[A]\r\nk=9\r\nk=2\r\n\r\n[a]\r\nk=3\r\nonly=4\r\n\r\n");
}

TEST(IniDocumentTest, RemovingASectionOrKeyRemovesEveryCopySoNoStaleCopyTakesItsPlace) {
  IniDocument doc = IniDocument::Parse("[A]\r\nk=1\r\nk=2\r\nm=0\r\n\r\n[B]\r\n\r\n[a]\r\nk=3\r\n\r\n");
  EXPECT_TRUE(doc.RemoveKey("A", "K"));
  EXPECT_FALSE(doc.Value("A", "k").has_value());
  EXPECT_EQ(doc.Value("A", "m"), "0");
  EXPECT_TRUE(doc.RemoveSection("a"));
  EXPECT_EQ(doc.SectionNames(), std::vector<std::string>{"B"});
  EXPECT_FALSE(doc.RemoveSection("A"));
}

struct HeaderCase {
  std::string line;
  bool isSection;
  std::string name;
};

TEST(IniDocumentTest, SectionHeadersWithOddBrackets) {
  const HeaderCase cases[] = {
      {"[Profile_[1]]", true, "Profile_[1]"},
      {"  [ General ]  ", true, "General"},
      {"[General] ; note", true, "General"},
      {"[]", true, ""},
      {"[General", false, ""},
      {"General]", false, ""},
  };
  for (const HeaderCase& c : cases) {
    const IniDocument doc = IniDocument::Parse("[Before]\r\n" + c.line + "\r\nk=v\r\n");
    const std::vector<std::string> names = doc.SectionNames();
    SCOPED_TRACE(c.line);
    ASSERT_EQ(names.size(), c.isSection ? 2u : 1u);
    if (c.isSection) {
      EXPECT_EQ(names[1], c.name);
      EXPECT_EQ(doc.Value(c.name, "k"), "v");
    } else {
      EXPECT_EQ(doc.Value("Before", "k"), "v");
    }
    const std::string before = c.isSection ? "[Before]\r\n\r\n" : "[Before]\r\n";
    EXPECT_EQ(doc.Serialize(), before + c.line + "\r\nk=v\r\n\r\n");
  }
}

TEST(IniDocumentTest, LinesThatAreNotEntriesAreKeptButNeverRead) {
  const IniDocument doc = IniDocument::Parse("[A]\r\nno equals\r\n=nokey\r\n;k=comment\r\nk=real\r\n");
  EXPECT_EQ(doc.Value("A", "k"), "real");
  EXPECT_FALSE(doc.Value("A", "no equals").has_value());
  EXPECT_FALSE(doc.Value("A", "").has_value());
  EXPECT_EQ(doc.Serialize(), "[A]\r\nno equals\r\n=nokey\r\n;k=comment\r\nk=real\r\n\r\n");
}

TEST(IniDocumentTest, ValueKeepsEverythingAfterTheFirstEquals) {
  const IniDocument doc = IniDocument::Parse("[A]\r\nk=a=b;c\r\n");
  EXPECT_EQ(doc.Value("A", "k"), "a=b;c");
}

TEST(IniDocumentTest, LineBreaksInANewValueCannotStartASection) {
  IniDocument doc;
  doc.SetValue("Profile_0", "Name", "evil\r\n[General]\nEnableI2c=1");
  EXPECT_EQ(doc.SectionNames(), std::vector<std::string>{"Profile_0"});
  EXPECT_FALSE(doc.Value("General", "EnableI2c").has_value());
  EXPECT_EQ(IniDocument::Parse(doc.Serialize()).SectionNames(), std::vector<std::string>{"Profile_0"});
}

TEST(IniDocumentTest, NulCharactersAndMegabyteValuesSurviveARoundTrip) {
  std::string text = "[A]\r\nk=";
  text += std::string(2 * 1024 * 1024, 'x');
  text += "\r\nn=a";
  text += '\0';
  text += "b\r\n\r\n";
  const IniDocument doc = IniDocument::Parse(text);
  EXPECT_EQ(doc.Value("A", "k")->size(), 2u * 1024 * 1024);
  EXPECT_EQ(doc.Value("A", "n"), std::string_view("a\0b", 3));
  EXPECT_EQ(doc.Serialize(), text);
}

TEST(IniDocumentTest, AllLineEndsAreReadAndCrLfIsWritten) {
  EXPECT_EQ(IniDocument::Parse("[A]\nx=1\ry=2\r\nz=3").Serialize(), "[A]\r\nx=1\r\ny=2\r\nz=3\r\n\r\n");
}

TEST(IniDocumentTest, LinesBeforeTheFirstSectionAreKeptAndNotRead) {
  const IniDocument doc = IniDocument::Parse("k=1\r\n[A]\r\nk=2\r\n");
  EXPECT_EQ(doc.Value("A", "k"), "2");
  EXPECT_EQ(doc.Serialize(), "k=1\r\n[A]\r\nk=2\r\n\r\n");
}

TEST(IniDocumentTest, AppendSectionAddsAfterAllOthersEvenWhenTheNameExists) {
  IniDocument doc = IniDocument::Parse("[A]\r\nk=1\r\n");
  doc.AppendSection("A").Append("k", "2");
  EXPECT_EQ(doc.Value("A", "k"), "1");
  EXPECT_EQ(doc.Serialize(), "[A]\r\nk=1\r\n\r\n[A]\r\nk=2\r\n\r\n");
}

}  // namespace
}  // namespace tw
