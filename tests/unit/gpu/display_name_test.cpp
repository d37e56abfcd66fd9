#include "gpu/display_name.h"

#include <gtest/gtest.h>

#include "gpu/gpu_item.h"
#include "profiles/option_set.h"

namespace tw {
namespace {

struct NameCase {
  bool bus, adapter, regKey, pnp, friendly;
  std::string expected;
};

TEST(BuildDisplayNameTest, EverySwitchCombination) {
  GPUItem gpu;
  gpu.baseName = "0: Radeon RX 580 Series";
  gpu.busLocation = "1:0:0";
  gpu.adapterIndexes = {12};
  gpu.registryKey = "\\Registry\\Machine\\Class\\{4d36e968-e325-11ce-bfc1-08002be10318}\\0001";
  gpu.pnpShort = "SUBSYS_E3471DA2&REV_E7";
  gpu.friendlyName = "Left card";
  const std::string base = gpu.baseName;
  const NameCase cases[] = {
      {false, false, false, false, false, base},
      {false, false, false, false, true, base + "  (Left card)"},
      {true, false, false, false, false, base + "  (Bus: 1:0:0)"},
      {false, true, false, false, false, base + "  (Adapter: 12)"},
      {false, false, true, false, false, base + "  (RegKey: 0001)"},
      {true, true, false, false, false, base + "  (Bus: 1:0:0 | Adapter: 12)"},
      {true, false, true, false, false, base + "  (Bus: 1:0:0 | RegKey: 0001)"},
      {false, true, true, false, false, base + "  (Adapter: 12 | RegKey: 0001)"},
      {true, true, true, false, false, base + "  (Bus: 1:0:0 | Adapter: 12 | RegKey: 0001)"},
      {false, false, false, true, false, base + "  (SUBSYS_E3471DA2&REV_E7)"},
      {true, false, false, true, false, base + "  (Bus:1:0:0) SUBSYS_E3471DA2&REV_E7"},
      {true, true, false, true, false, base + "  (Bus:1:0:0|Adapter:12) SUBSYS_E3471DA2&REV_E7"},
      {false, true, true, true, false, base + "  (Adapter:12|RegKey:0001) SUBSYS_E3471DA2&REV_E7"},
      {true, true, true, true, false, base + "  (Bus:1:0:0|Adapter:12|RegKey:0001) SUBSYS_E3471DA2&REV_E7"},
      {true, true, true, true, true,
       base + "  (Left card)  (Bus:1:0:0|Adapter:12|RegKey:0001) SUBSYS_E3471DA2&REV_E7"},
      {false, false, false, true, true, base + "  (Left card)  (SUBSYS_E3471DA2&REV_E7)"},
      {true, false, false, false, true, base + "  (Left card)  (Bus: 1:0:0)"},
  };
  for (const NameCase& c : cases) {
    OptionSet options;
    options.ShowBusNumber = c.bus;
    options.ShowAdapterIndex = c.adapter;
    options.ShowRegistryKey = c.regKey;
    options.ShowPnpString = c.pnp;
    EXPECT_EQ(BuildDisplayName(gpu, options, c.friendly), c.expected);
  }
}

TEST(BuildDisplayNameTest, RegistryKeyWithoutClassBraceIsShownWhole) {
  GPUItem gpu;
  gpu.baseName = "1: card";
  gpu.registryKey = "plain\\0002";
  OptionSet options;
  options.ShowRegistryKey = true;
  EXPECT_EQ(BuildDisplayName(gpu, options, false), "1: card  (RegKey: plain\\0002)");
  gpu.registryKey = "{a}\\{b}\\0003";  // only up to the first "}\"
  EXPECT_EQ(BuildDisplayName(gpu, options, false), "1: card  (RegKey: {b}\\0003)");
}

}  // namespace
}  // namespace tw
