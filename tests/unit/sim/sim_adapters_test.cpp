// The simulator's adapter list and contexts, read through its binary interface.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "sim/sim_library.h"

namespace tw::test {
namespace {

int IntAt(const std::vector<unsigned char>& bytes, size_t offset) {
  int value = 0;
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

std::string TextAt(const std::vector<unsigned char>& bytes, size_t offset) {
  return std::string(reinterpret_cast<const char*>(bytes.data() + offset));
}

class SimAdaptersTest : public ::testing::Test {
 protected:
  SimFolder folder;
  SimLibrary library{folder};
  SimContext context{library};
};

TEST_F(SimAdaptersTest, CreateGivesAContextThatDestroyEnds) {
  ASSERT_TRUE(library.loaded());
  EXPECT_EQ(context.createResult(), 0);
  EXPECT_NE(context.get(), nullptr);
  auto destroy = library.Get<adl::Main_Control_Destroy>("ADL2_Main_Control_Destroy");
  auto count = library.Get<adl::Adapter_NumberOfAdapters_Get>("ADL2_Adapter_NumberOfAdapters_Get");
  adl::Context other = nullptr;
  ASSERT_EQ(library.Get<adl::Main_Control_Create>("ADL2_Main_Control_Create")(&AllocationCounter::Allocate, 1, &other), 0);
  EXPECT_EQ(destroy(other), 0);
  int n = 0;
  EXPECT_EQ(count(other, &n), adl::kErrNotInit) << "a destroyed context is refused";
  EXPECT_EQ(count(nullptr, &n), adl::kErrNotInit);
  EXPECT_EQ(library.Get<adl::Main_Control_Create>("ADL2_Main_Control_Create")(nullptr, 1, &other), -11);
}

// The default rig, as the driver lists it: out of bus order, one card twice.
TEST_F(SimAdaptersTest, AdapterRecordsSitAtTheDriversOffsets) {
  auto count = library.Get<adl::Adapter_NumberOfAdapters_Get>("ADL2_Adapter_NumberOfAdapters_Get");
  auto info = library.Get<adl::Adapter_AdapterInfo_Get>("ADL2_Adapter_AdapterInfo_Get");
  int n = 0;
  ASSERT_EQ(count(context.get(), &n), 0);
  ASSERT_EQ(n, 5);
  std::vector<unsigned char> bytes(static_cast<size_t>(n) * 1572, 0);
  ASSERT_EQ(info(context.get(), reinterpret_cast<adl::AdapterInfo*>(bytes.data()), n * 1572), 0);

  struct Expected {
    int index, bus, vendor;
    const char* name;
    const char* pnpStart;
  } expected[] = {{0, 3, 1002, "Radeon RX Vega", "PCI\\VEN_1002&DEV_687F"},
                  {1, 1, 1002, "Radeon RX 580 Series", "PCI\\VEN_1002&DEV_67DF"},
                  {2, 1, 1002, "Radeon RX 580 Series", "PCI\\VEN_1002&DEV_67DF"},
                  {3, 12, 4318, "NVIDIA GeForce GTX 1050 Ti", "PCI\\VEN_10DE"},
                  {4, 8, 1002, "Radeon RX 5700 XT", "PCI\\VEN_1002&DEV_731F"}};
  for (size_t i = 0; i < 5; ++i) {
    const size_t base = i * 1572;
    SCOPED_TRACE(i);
    EXPECT_EQ(IntAt(bytes, base + 0), 1572);
    EXPECT_EQ(IntAt(bytes, base + 4), expected[i].index);
    EXPECT_EQ(IntAt(bytes, base + 264), expected[i].bus);
    EXPECT_EQ(IntAt(bytes, base + 268), 0);
    EXPECT_EQ(IntAt(bytes, base + 272), 0);
    EXPECT_EQ(IntAt(bytes, base + 276), expected[i].vendor);
    EXPECT_EQ(TextAt(bytes, base + 280), expected[i].name);
    EXPECT_EQ(TextAt(bytes, base + 1312).rfind(expected[i].pnpStart, 0), 0u) << TextAt(bytes, base + 1312);
    EXPECT_EQ(TextAt(bytes, base + 800).rfind("\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Class\\{4d36e968", 0), 0u);
  }
  EXPECT_EQ(TextAt(bytes, 1572 + 1312), TextAt(bytes, 2 * 1572 + 1312)) << "one card, two adapters";
}

TEST_F(SimAdaptersTest, AShortAdapterBufferIsRefusedAndLeftUntouched) {
  auto info = library.Get<adl::Adapter_AdapterInfo_Get>("ADL2_Adapter_AdapterInfo_Get");
  std::vector<unsigned char> bytes(4 * 1572 + 100, 0xEE);
  EXPECT_EQ(info(context.get(), reinterpret_cast<adl::AdapterInfo*>(bytes.data()), 4 * 1572), adl::kErrInvalidParamSize);
  for (unsigned char b : bytes) ASSERT_EQ(b, 0xEE);
}

TEST_F(SimAdaptersTest, OverdriveCapsTellTheGenerationOfEachCard) {
  auto caps = library.Get<adl::Overdrive_Caps>("ADL2_Overdrive_Caps");
  struct Row {
    int adapter, result, supported, version;
  } rows[] = {{0, 0, 1, 7}, {1, 0, 1, 7}, {3, 0, 0, 0}, {4, 0, 1, 8}, {9, adl::kErrInvalidAdlIdx, -1, -1}};
  for (const Row& row : rows) {
    int supported = -1, enabled = -1, version = -1;
    EXPECT_EQ(caps(context.get(), row.adapter, &supported, &enabled, &version), row.result) << row.adapter;
    EXPECT_EQ(supported, row.supported) << row.adapter;
    EXPECT_EQ(version, row.version) << row.adapter;
  }
}

TEST_F(SimAdaptersTest, ActiveGetAnswersForKnownAdapters) {
  auto active = library.Get<adl::Adapter_Active_Get>("ADL2_Adapter_Active_Get");
  int status = -1;
  EXPECT_EQ(active(context.get(), 2, &status), 0);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(active(context.get(), 5, &status), adl::kErrInvalidAdlIdx);
}

}  // namespace
}  // namespace tw::test
