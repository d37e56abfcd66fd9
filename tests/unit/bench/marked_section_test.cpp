#include "marked_section.h"

#include <gtest/gtest.h>

namespace tw::bench {
namespace {

constexpr const char* kBegin = "<!-- b -->";
constexpr const char* kEnd = "<!-- e -->";

struct SectionCase {
  const char* document;
  const char* body;
  const char* expected;  // nullptr: refused
};

class MarkedSectionTest : public ::testing::TestWithParam<SectionCase> {};

TEST_P(MarkedSectionTest, ReplacesOnlyBetweenTheMarkers) {
  const std::optional<std::string> result = ReplaceMarkedSection(GetParam().document, kBegin, kEnd, GetParam().body);
  if (!GetParam().expected) {
    EXPECT_FALSE(result) << *result;
    return;
  }
  ASSERT_TRUE(result);
  EXPECT_EQ(*result, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, MarkedSectionTest,
    ::testing::Values(
        SectionCase{"# T\n<!-- b -->\nold\nlines\n<!-- e -->\ntail\n", "new\n", "# T\n<!-- b -->\nnew\n<!-- e -->\ntail\n"},
        SectionCase{"<!-- b -->\n<!-- e -->", "x", "<!-- b -->\nx\n<!-- e -->"},
        SectionCase{"<!-- b -->\r\nold\r\n<!-- e -->\r\n", "", "<!-- b -->\r\n<!-- e -->\r\n"},
        SectionCase{"text <!-- b -->\nold\n<!-- e -->\n", "new\n", nullptr},
        SectionCase{"<!-- b -->\nold\n", "new\n", nullptr},
        SectionCase{"<!-- e -->\nold\n<!-- b -->\n", "new\n", nullptr},
        SectionCase{"<!-- b -->\n<!-- e -->\n<!-- b -->\n<!-- e -->\n", "new\n", nullptr}));

}  // namespace
}  // namespace tw::bench
