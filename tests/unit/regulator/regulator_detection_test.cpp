#include "regulator/regulator_detection.h"

#include "regulator/regulator_fixture.h"
#include "regulator/regulator_window.h"

namespace tw {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr int kIr = 0;
constexpr int kUp = 1;
constexpr int kProbesPerCard = 5 * 127;

// ---- Detection ----

class DetectRegulatorTest : public test::RegulatorTest {
 protected:
  void SetUp() override {
    app.options.EnableI2c = true;
    app.regulatorDetection.consoleMode = true;
    PutIni("[General]\nEnableI2c=1\n\n");
  }
  int Probes(int adapter) const {
    int probes = 0;
    for (const test::FakeI2cTransfer& t : adl.i2cTransfers)
      if (t.adapter == adapter && t.reg == 0xFF) ++probes;
    return probes;
  }
  void ExpectFound(int gpuId, int line, int address, int row) {
    const GPUItem& gpu = app.gpus.at(static_cast<size_t>(gpuId));
    EXPECT_TRUE(gpu.i2cFound) << "card " << gpuId;
    EXPECT_EQ(gpu.i2cLine, line) << "card " << gpuId;
    EXPECT_EQ(gpu.i2cAddress, address) << "card " << gpuId;
    EXPECT_EQ(gpu.i2cController, row) << "card " << gpuId;
  }
  void ExpectNone(int gpuId) {
    const GPUItem& gpu = app.gpus.at(static_cast<size_t>(gpuId));
    EXPECT_FALSE(gpu.i2cFound) << "card " << gpuId;
    EXPECT_EQ(gpu.i2cLine, -1) << "card " << gpuId;
    EXPECT_EQ(gpu.i2cAddress, -1) << "card " << gpuId;
    EXPECT_EQ(gpu.i2cController, -1) << "card " << gpuId;
  }
};

TEST_F(DetectRegulatorTest, ScanFindsBothModelsAndWritesEveryCardsKey) {
  AddCard(0);
  AddCard(1);
  AddCard(2, /*supported=*/false);
  AddCard(3);
  Device(0, 3, 0x20, test::Ir3567bRegisters(0x81));
  Device(1, 6, 0x45, test::Up9505Registers());
  Device(2, 1, 0x08, test::Ir3567bRegisters());  // unsupported card: never looked at
  DetectRegulator(app.regulatorContext(), /*scan=*/true);
  ExpectFound(0, 3, 0x20, kIr);
  ExpectFound(1, 6, 0x45, kUp);
  ExpectNone(2);
  ExpectNone(3);
  EXPECT_EQ(Probes(2), 0);
  EXPECT_EQ(IniText(),
            "[General]\nEnableI2c=1\n\n[I2C]\n0=2097920\n1=" + std::to_string(6 << 8 | 0x45 << 16 | 1 << 24) +
                "\n2=0\n3=0\n\n");
  EXPECT_THAT(fake.files.calls, ::testing::Contains(HasSubstr("FlushBuffers C:/Tunewright/Tunewright.ini")));
  EXPECT_TRUE(app.regulatorDetection.done);
  EXPECT_FALSE(app.regulatorDetection.inProgress);
  EXPECT_THAT(BoxTexts(), IsEmpty());  // silent addresses are never reported
}

TEST_F(DetectRegulatorTest, ScanProbesEachLineAndAddressOnceInOrder) {
  AddCard(0);
  AddCard(1);
  DetectRegulator(app.regulatorContext(), true);
  EXPECT_EQ(Probes(0), kProbesPerCard);
  EXPECT_EQ(Probes(1), kProbesPerCard);
  std::vector<std::pair<int, int>> order;
  for (const test::FakeI2cTransfer& t : adl.i2cTransfers)
    if (t.adapter == 0) order.emplace_back(t.line, t.address / 2);
  ASSERT_EQ(order.size(), static_cast<size_t>(kProbesPerCard));
  EXPECT_EQ(order.front(), std::make_pair(1, 0));
  EXPECT_EQ(order[126], std::make_pair(1, 126));
  EXPECT_EQ(order[127], std::make_pair(3, 0));
  EXPECT_EQ(order.back(), std::make_pair(6, 126));
  for (const test::FakeI2cTransfer& t : adl.i2cTransfers) {
    EXPECT_EQ(t.speed, 5);
    EXPECT_EQ(t.dataSize, 1);
    EXPECT_EQ(t.action, 3);
  }
}

TEST_F(DetectRegulatorTest, ALineThatFailsAsABusIsGivenUpAfterThreeFaults) {
  AddCard(0);
  Device(0, 6, 0x10, test::Ir3567bRegisters());
  adl.Fail("ADL2_Display_WriteAndReadI2C", adl::kErrNotSupported, 1, 3 * 4);  // lines 1, 3, 4, 5
  DetectRegulator(app.regulatorContext(), true);
  ExpectFound(0, 6, 0x10, kIr);
  EXPECT_EQ(Probes(0), 0x10 + 1);  // line 6 only: the forced answers are not journalled
  EXPECT_EQ(adl.Calls("ADL2_Display_WriteAndReadI2C"), 3 * 4 + 0x10 + 1 + 2);  // and two identification reads
}

TEST_F(DetectRegulatorTest, FoundDeviceEndsTheCardsSearch) {
  AddCard(0);
  Device(0, 1, 0x02, test::Ir3567bRegisters());
  DetectRegulator(app.regulatorContext(), true);
  ExpectFound(0, 1, 0x02, kIr);
  EXPECT_EQ(Probes(0), 3);  // addresses 0, 1 and 2 of line 1
  EXPECT_THAT(ReadRegisters(), ElementsAre(0xFF, 0xFF, 0xFF, 0x92, 0x38));
}

TEST_F(DetectRegulatorTest, LineTwoAndAddress127AreNeverSearched) {
  AddCard(0);
  Device(0, 2, 0x20, test::Ir3567bRegisters());
  Device(0, 1, 127, test::Up9505Registers());
  DetectRegulator(app.regulatorContext(), true);
  ExpectNone(0);
  for (const test::FakeI2cTransfer& t : adl.i2cTransfers) {
    EXPECT_NE(t.line, 2);
    EXPECT_NE(t.address, 127 * 2);
  }
  EXPECT_THAT(IniText(), HasSubstr("[I2C]\n0=0\n"));
}

TEST_F(DetectRegulatorTest, LowerLineThenLowerAddressWins) {
  AddCard(0);
  AddCard(1);
  Device(0, 4, 0x01, test::Ir3567bRegisters());
  Device(0, 3, 0x70, test::Up9505Registers());  // lower line, higher address: wins
  Device(1, 5, 0x30, test::Ir3567bRegisters());
  Device(1, 5, 0x10, test::Up9505Registers());  // same line, lower address: wins
  DetectRegulator(app.regulatorContext(), true);
  ExpectFound(0, 3, 0x70, kUp);
  ExpectFound(1, 5, 0x10, kUp);
}

TEST_F(DetectRegulatorTest, AnsweringDeviceThatIsNoRegulatorIsPassedOver) {
  AddCard(0);
  Device(0, 1, 0x50, {{0xFF, 0x12}});  // an EEPROM, say
  Device(0, 1, 0x51, test::Up9505Registers());
  DetectRegulator(app.regulatorContext(), true);
  ExpectFound(0, 1, 0x51, kUp);
}

TEST_F(DetectRegulatorTest, VerifyChecksStoredLocationsWithoutScanning) {
  AddCard(0);
  AddCard(1);
  AddCard(2);
  Device(0, 3, 0x20, test::Ir3567bRegisters());
  Device(1, 6, 0x45, test::Up9505Registers());
  Device(2, 1, 0x08, test::Ir3567bRegisters());  // stored "0": never searched
  const std::string ini = "[General]\nEnableI2c=1\n\n[I2C]\n0=2097920\n1=" +
                          std::to_string(6 << 8 | 0x45 << 16 | 1 << 24) + "\n2=0\n\n";
  PutIni(ini);
  DetectRegulator(app.regulatorContext(), false);
  ExpectFound(0, 3, 0x20, kIr);
  ExpectFound(1, 6, 0x45, kUp);
  ExpectNone(2);
  EXPECT_EQ(Probes(0) + Probes(1) + Probes(2), 0);
  EXPECT_THAT(ReadRegisters(), ElementsAre(0x92, 0x38, 0x4A, 0x49));
  EXPECT_EQ(IniText(), ini);
  EXPECT_TRUE(app.regulatorDetection.done);
}

TEST_F(DetectRegulatorTest, StoredLocationThatNoLongerIdentifiesIsDroppedForThisRunOnly) {
  AddCard(0);
  AddCard(1);
  Device(0, 3, 0x20, test::Up9505Registers());  // another model now sits there
  // card 1: nothing answers at the stored place any more
  const std::string ini = "[General]\nEnableI2c=1\n\n[I2C]\n0=2097920\n1=2097920\n\n";
  PutIni(ini);
  DetectRegulator(app.regulatorContext(), false);
  ExpectNone(0);
  ExpectNone(1);
  EXPECT_EQ(IniText(), ini);
  EXPECT_THAT(BoxTexts(), IsEmpty());
}

TEST_F(DetectRegulatorTest, VerifySkipsUnsupportedCardsAndMissingKeys) {
  AddCard(0, /*supported=*/false);
  AddCard(1);
  Device(0, 3, 0x20, test::Ir3567bRegisters());
  PutIni("[I2C]\n0=2097920\n\n");
  DetectRegulator(app.regulatorContext(), false);
  EXPECT_FALSE(app.gpus[0].i2cFound);
  ExpectNone(1);
  EXPECT_THAT(adl.i2cTransfers, IsEmpty());
}

TEST_F(DetectRegulatorTest, StoredValueNamingNoControllerIsIgnored) {
  AddCard(0);
  Device(0, 3, 0x20, test::Ir3567bRegisters());
  PutIni("[I2C]\n0=" + std::to_string(3 << 8 | 0x20 << 16 | 7 << 24) + "\n\n");
  DetectRegulator(app.regulatorContext(), false);
  ExpectNone(0);
  EXPECT_THAT(adl.i2cTransfers, IsEmpty());
}

TEST_F(DetectRegulatorTest, ScanWithoutIniFileWritesNone) {
  fake.files.files.clear();
  AddCard(0);
  Device(0, 1, 0x08, test::Ir3567bRegisters());
  DetectRegulator(app.regulatorContext(), true);
  ExpectFound(0, 1, 0x08, kIr);
  EXPECT_FALSE(IniExists());
}

TEST_F(DetectRegulatorTest, ScanOfAnEmptyListWritesNoSection) {
  DetectRegulator(app.regulatorContext(), true);
  EXPECT_EQ(IniText(), "[General]\nEnableI2c=1\n\n");
  EXPECT_TRUE(app.regulatorDetection.done);
}

TEST_F(DetectRegulatorTest, FailedConnectionStillEndsDetectionAndWritesNothing) {
  AddCard(0);
  Device(0, 1, 0x08, test::Ir3567bRegisters());
  adl.createResult = adl::kErr;
  app.regulatorDetection.inProgress = true;
  DetectRegulator(app.regulatorContext(), true);
  ExpectNone(0);
  EXPECT_TRUE(app.regulatorDetection.done);
  EXPECT_FALSE(app.regulatorDetection.inProgress);
  EXPECT_EQ(IniText(), "[General]\nEnableI2c=1\n\n");
}

// ---- The window's part ----

class RecordingWindow final : public RegulatorWindow {
 public:
  int selected = 0;
  std::vector<std::string> events;
  int SelectedGpu() const override { return selected; }
  void RedrawI2cGroup() override { events.push_back("redraw"); }
  void SelectMatchingProfile() override { events.push_back("profile"); }
  void ShowOffset(int32_t steps) override { events.push_back("offset " + std::to_string(steps)); }
  void OffsetInStep() override { events.push_back("offset colour"); }
  void ShowLlc(bool on) override { events.push_back(on ? "llc on" : "llc off"); }
  void LlcInStep() override { events.push_back("llc colour"); }
  void ShowPhaseGain(const std::string& text) override { events.push_back("phase gain " + text); }
  void PhaseGainInStep() override { events.push_back("phase gain colour"); }
  void ShowCurrentScale(const std::string& text) override { events.push_back("current scale " + text); }
  void CurrentScaleInStep() override { events.push_back("current scale colour"); }
};

TEST_F(DetectRegulatorTest, ConsoleModeLeavesTheWindowAlone) {
  AddCard(0);
  Device(0, 1, 0x08, test::Ir3567bRegisters());
  RecordingWindow window;
  DetectRegulator(app.regulatorContext(), true, &window);
  EXPECT_THAT(window.events, IsEmpty());
}

TEST_F(DetectRegulatorTest, WindowModeShowsTheSelectedCardsValuesThenSelectsAProfile) {
  app.regulatorDetection.consoleMode = false;
  AddCard(0);
  auto& regs = Device(0, 1, 0x08, test::Ir3567bRegisters());
  regs[0x8D] = 0xFD;
  RecordingWindow window;
  DetectRegulator(app.regulatorContext(), true, &window);
  EXPECT_THAT(window.events, ElementsAre("redraw", "offset -3", "offset colour", "llc on", "llc colour",
                                         "phase gain 112233", "phase gain colour", "current scale 44",
                                         "current scale colour", "profile"));
  EXPECT_EQ(app.currentValues.offset, -3);
}

TEST_F(DetectRegulatorTest, WindowModeWithoutControllerClearsTheValues) {
  app.regulatorDetection.consoleMode = false;
  AddCard(0);
  app.currentValues.offset = 5;
  app.currentValues.llc = 1;
  app.currentValues.phaseGain = "112233";
  app.currentValues.currentScale = "44";
  RecordingWindow window;
  DetectRegulator(app.regulatorContext(), true, &window);
  EXPECT_THAT(window.events, ElementsAre("redraw", "profile"));
  EXPECT_EQ(app.currentValues.offset, kNotSet);
  EXPECT_EQ(app.currentValues.llc, kNotSet);
  EXPECT_EQ(app.currentValues.phaseGain, "NULL");
  EXPECT_EQ(app.currentValues.currentScale, "NULL");
}

}  // namespace
}  // namespace tw
