#include "i2c/i2c_transfer.h"

#include "gpu/driver_connection.h"
#include "regulator/regulator_fixture.h"
#include "regulator/regulator_matches.h"

namespace tw {
namespace {

using ::testing::ElementsAre;

constexpr int kIr = 0;
constexpr int kUp = 1;

// ---- Transfers ----

using I2cTransferTest = test::RegulatorTest;

TEST_F(I2cTransferTest, ReadRecordCarriesTheDoubledAddressAndTheAskedSpeed) {
  AddCard(7);
  Device(7, 3, 0x20, {{0x92, 0x43}});
  auto connection = OpenDriverConnection(app.platform, app.messages);
  ASSERT_TRUE(connection);
  EXPECT_EQ(I2cRead(*connection, app.gpus[0], 1, 3, 0x20, 0x92, I2cSpeed::Identify), 0x43);
  EXPECT_EQ(I2cRead(*connection, app.gpus[0], 1, 3, 0x20, 0x92, I2cSpeed::Value), 0x43);
  ASSERT_EQ(adl.i2cTransfers.size(), 2u);
  const test::FakeI2cTransfer& t = adl.i2cTransfers[0];
  EXPECT_EQ(t.adapter, 7);
  EXPECT_EQ(t.size, static_cast<int>(sizeof(adl::ADLI2C)));  // 32 in the product, 40 in 64-bit tests
  EXPECT_EQ(t.line, 3);
  EXPECT_EQ(t.address, 0x40);
  EXPECT_EQ(t.reg, 0x92);
  EXPECT_EQ(t.action, 3);
  EXPECT_EQ(t.speed, 5);
  EXPECT_EQ(t.dataSize, 1);
  EXPECT_EQ(adl.i2cTransfers[1].speed, 15);
}

TEST_F(I2cTransferTest, TwoByteReadsAreLittleEndian) {
  AddCard(0);
  Device(0, 1, 0x10, {{0x4A, 0x29}, {0x4B, 0x81}});
  auto connection = OpenDriverConnection(app.platform, app.messages);
  ASSERT_TRUE(connection);
  EXPECT_EQ(I2cRead(*connection, app.gpus[0], 2, 1, 0x10, 0x4A, I2cSpeed::Identify), 0x8129);
  EXPECT_EQ(adl.i2cTransfers.back().dataSize, 2);
}

TEST_F(I2cTransferTest, WriteRecordSendsOneByteAtWriteSpeed) {
  AddCard(0);
  Device(0, 4, 0x45, {});
  auto connection = OpenDriverConnection(app.platform, app.messages);
  ASSERT_TRUE(connection);
  EXPECT_EQ(I2cWrite(*connection, app.gpus[0], 4, 0x45, 0x8D, 0xB0), 0);
  const test::FakeI2cTransfer& t = adl.i2cTransfers.at(0);
  EXPECT_EQ(t.action, 2);
  EXPECT_EQ(t.speed, 10);
  EXPECT_EQ(t.address, 0x8A);
  EXPECT_EQ(t.dataSize, 1);
  EXPECT_THAT(t.data, ElementsAre(0xB0));
  EXPECT_EQ(Registers(0, 4, 0x45).at(0x8D), 0xB0);
}

TEST_F(I2cTransferTest, SilentAddressOrDriverErrorIsAFailedTransfer) {
  AddCard(0);
  Device(0, 1, 0x10, {{0x92, 0x43}});
  FailI2c(0, 1, 0x10, 0x92, adl::kI2cActionReadRepeatedStart, -3);
  auto connection = OpenDriverConnection(app.platform, app.messages);
  ASSERT_TRUE(connection);
  EXPECT_FALSE(I2cRead(*connection, app.gpus[0], 1, 1, 0x11, 0x92, I2cSpeed::Identify));
  EXPECT_FALSE(I2cRead(*connection, app.gpus[0], 1, 1, 0x10, 0x92, I2cSpeed::Identify));
  EXPECT_EQ(I2cWrite(*connection, app.gpus[0], 1, 0x11, 0x8D, 1), adl::kErr);
}

// ---- Identification ----

struct MatchCase {
  const char* what;
  std::map<int, uint8_t> registers;
  int row;
  bool matches;
};

// Names the case; without it the test framework prints the record's bytes, padding included.
void PrintTo(const MatchCase& c, std::ostream* out) { *out << c.what; }

class RegulatorMatchesTest : public test::RegulatorTest, public ::testing::WithParamInterface<MatchCase> {};

TEST_P(RegulatorMatchesTest, IdentifiesTheRow) {
  AddCard(0);
  Device(0, 1, 0x08, GetParam().registers);
  auto connection = OpenDriverConnection(app.platform, app.messages);
  ASSERT_TRUE(connection);
  EXPECT_EQ(RegulatorMatches(*connection, app.gpus[0], 1, 0x08, GetParam().row), GetParam().matches) << GetParam().what;
  for (const test::FakeI2cTransfer& t : adl.i2cTransfers) EXPECT_EQ(t.speed, 5);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RegulatorMatchesTest,
    ::testing::Values(MatchCase{"IR3567B with LLC on", test::Ir3567bRegisters(0x01), kIr, true},
                      MatchCase{"IR3567B with LLC off", test::Ir3567bRegisters(0x81), kIr, true},
                      MatchCase{"IR3567B with LLC neither", test::Ir3567bRegisters(0x02), kIr, false},
                      MatchCase{"IR3567B wrong first id", {{0x92, 0x42}, {0x38, 0x01}}, kIr, false},
                      MatchCase{"IR3567B is not an up9505", test::Ir3567bRegisters(), kUp, false},
                      MatchCase{"up9505 second id 2", test::Up9505Registers(0x02), kUp, true},
                      MatchCase{"up9505 second id 3", test::Up9505Registers(0x03), kUp, true},
                      MatchCase{"up9505 second id 4", test::Up9505Registers(0x04), kUp, false},
                      MatchCase{"up9505 is not an IR3567B", test::Up9505Registers(), kIr, false},
                      MatchCase{"no such row", test::Ir3567bRegisters(), 2, false}));

using RegulatorMatchesFailureTest = test::RegulatorTest;

TEST_F(RegulatorMatchesFailureTest, FailedSecondIdentificationReadFailsTheMatch) {
  AddCard(0);
  Device(0, 1, 0x08, test::Ir3567bRegisters());
  FailI2c(0, 1, 0x08, 0x38, adl::kI2cActionReadRepeatedStart, -1);
  auto connection = OpenDriverConnection(app.platform, app.messages);
  ASSERT_TRUE(connection);
  EXPECT_FALSE(RegulatorMatches(*connection, app.gpus[0], 1, 0x08, kIr));
}

}  // namespace
}  // namespace tw
