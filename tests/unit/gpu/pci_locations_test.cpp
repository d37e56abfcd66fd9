#include "gpu/pci_locations.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(PnpShortTest, StartsAtSubsysOrKeepsTheWholeString) {
  const std::pair<std::string, std::string> cases[] = {
      {"PCI\\VEN_1002&DEV_67DF&SUBSYS_E3471DA2&REV_E7\\4&1", "SUBSYS_E3471DA2&REV_E7\\4&1"},
      {"PCI\\VEN_1002&DEV_67DF", "PCI\\VEN_1002&DEV_67DF"},
      {"SUBSYS_X", "SUBSYS_X"},  // without "&" before it
      {"A&SUBSYS_1&SUBSYS_2", "SUBSYS_1&SUBSYS_2"},
      {"", ""},
  };
  for (const auto& [pnp, expected] : cases) EXPECT_EQ(PnpShort(pnp), expected) << pnp;
}

TEST(LocationKeyTest, PacksBusDeviceFunctionUnsigned) {
  EXPECT_EQ(LocationKey(1, 2, 3), 0x010203u);
  EXPECT_EQ(LocationKey(0x8000, 0, 0), 0x80000000u);
  EXPECT_LT(LocationKey(1, 0, 0), LocationKey(0x8000, 0, 0));
}

}  // namespace
}  // namespace tw
