// Any argument vector against a small fake machine: an OverdriveN card with a regulator, an
// Overdrive8 card and another vendor's card, two stored profiles, and optionally one driver
// entry point that fails or hands out no list. Besides crashes, sanitizer reports and
// exceptions escaping the argument loop, it checks what a script relies on: the exit status
// is 0 or -1, every driver connection and list is given back, and no stored profile is lost.
//
// Input: byte 0 picks the failing entry point (0: none), byte 1 the kind of failure and the
// call it starts at, byte 2 the settings; the rest are the arguments, one per line.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/app.h"
#include "app/app_operations.h"
#include "app/command_line.h"
#include "base/text.h"
#include "fakes/fake_adl.h"
#include "fakes/fake_platform.h"
#include "fakes/regulator_registers.h"
#include "gpu/driver_alloc.h"
#include "ini/ini_document.h"
#include "ini/ini_encoding.h"
#include "profiles/profile_store.h"

namespace {

using tw::test::FakeAdl;
using tw::test::FakePlatform;

constexpr size_t kMaxArguments = 24;
constexpr int kStoredProfiles = 2;

void Fail(int line) {
  std::fprintf(stderr, "check failed at line %d\n", line);
  std::abort();
}
// Names the line of the failed check, so that a finding says which promise it broke.
#define CHECK(condition) ((condition) ? void() : Fail(__LINE__))

std::string Crlf(std::string_view text) {
  std::string crlf;
  for (char c : text) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  return crlf;
}

// Two profiles: one for the OverdriveN card with a regulator offset, one for Overdrive8.
std::string IniText(bool enableI2c) {
  std::string text = "[General]\n";
  text += enableI2c ? "EnableI2c=1\n" : "EnableI2c=0\n";
  text += "ConsoleOnly=0\n\n";
  text +=
      "[Profile_0]\nName=Gaming\nGPU_P0=300;750\nGPU_P1=600;769\nGPU_P2=900;887\nGPU_P3=1145;1000\n"
      "GPU_P4=1215;1050\nGPU_P5=1257;1100\nGPU_P6=1300;1150\nGPU_P7=1340;1150\nMem_P0=300;750\n"
      "Mem_P1=1000;800\nMem_P2=2000;950\nFan_Min=1000\nFan_Max=2200\nFan_Target=75\nFan_Acoustic=1200\n"
      "Power_Temp=85\nPower_Target=10\nOffset=6\nLLC=1\n\n";
  text +=
      "[Profile_1]\nName=Navi\nGPU_P0=800;750\nGPU_P1=1500;900\nGPU_P2=2000;1100\nGPU_Min=800\n"
      "GPU_Max=2000\nMem_Max=1750\nMem_TimingLevel=1\nFan_P0=30;20\nFan_P1=40;35\nFan_P2=50;50\n"
      "Fan_P3=60;65\nFan_P4=70;80\nFan_ZeroRPM=0\nFan_Acoustic=2000\nPower_Target=5\n\n";
  return text;
}

void BuildMachine(FakePlatform& fake, FakeAdl& adl) {
  FakeAdl::Install(fake.libraries);
  adl.AddAdapter(0, 1, 0, 0, "Radeon RX 580 Series", 1002, "PCI\\VEN_1002&DEV_67DF\\4&1");
  adl.AddOverdriveNCard(0).I2cDevice(3, 0x08) = tw::test::Ir3567bRegisters();
  adl.AddAdapter(1, 3, 0, 0, "Radeon RX 5700 XT", 1002, "PCI\\VEN_1002&DEV_731F\\4&2");
  adl.AddOverdrive8Card(1);
  adl.AddAdapter(2, 5, 0, 0, "Other", 4318, "PCI\\VEN_10DE&DEV_1B80\\4&3");
  fake.displayDevices.devices = {{"PCI\\VEN_1002&DEV_67DF\\4&1", {}, 0}, {"PCI\\VEN_1002&DEV_731F\\4&2", {}, 0}};
  fake.machine.admin = true;
}

// The failure byte 0 and 1 ask for: one entry point answering -1, -8 or -5, or handing out
// no list, from its Nth call on. Returns the entry point's name ("" for none).
std::string InjectFault(FakeAdl& adl, uint8_t which, uint8_t how) {
  if (which == 0) return "";
  const auto entryPoints = FakeAdl::EntryPoints();
  auto it = entryPoints.begin();
  std::advance(it, (which - 1) % entryPoints.size());
  const int fromCall = 1 + (how >> 2);
  switch (how & 3) {
    case 0: adl.Fail(it->first, -1, fromCall); break;
    case 1: adl.Fail(it->first, -8, fromCall); break;
    case 2: adl.Fail(it->first, -5, fromCall); break;
    default: adl.nullLists.insert(it->first); break;
  }
  return it->first;
}

std::vector<std::string> Arguments(std::string_view text) {
  std::vector<std::string> args;
  size_t start = 0;
  while (args.size() < kMaxArguments && start <= text.size()) {
    const size_t end = std::min(text.find('\n', start), text.size());
    args.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return args;
}

int StoredProfileCount(FakePlatform& fake, const tw::App& app) {
  const auto file = fake.files.files.find(tw::test::InMemoryFileSystem::Key(app.paths.iniPath));
  if (file == fake.files.files.end()) return 0;
  tw::ProfileList profiles;
  tw::ReadProfiles(tw::IniDocument::Parse(tw::DecodeIniBytes(file->second, fake.ansi).text), profiles,
                   [](const std::string&) {});
  return static_cast<int>(profiles.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const std::vector<std::string> args =
      Arguments(std::string_view(reinterpret_cast<const char*>(data) + 3, size - 3));

  const long blocksBefore = tw::DriverAllocLiveBlocks();
  FakePlatform fake;
  FakeAdl adl;
  BuildMachine(fake, adl);
  const std::string faulted = InjectFault(adl, data[0], data[1]);
  int exitStatus = 0;
  {
    tw::App app{fake.platform};
    fake.files.files[tw::test::InMemoryFileSystem::Key(app.paths.iniPath)] =
        tw::EncodeIniText(Crlf(IniText((data[2] & 1) != 0)));
    tw::AppOperations operations(app, {});
    tw::CommandLine commandLine(operations, app.messages);
    exitStatus = commandLine.Run(args);
    CHECK(StoredProfileCount(fake, app) == kStoredProfiles);
  }
  CHECK(exitStatus == tw::kExitSuccess || exitStatus == tw::kExitFailure);
  // A context whose destruction the driver refused is the driver's to keep.
  if (faulted != "ADL2_Main_Control_Destroy") CHECK(adl.LiveContexts() == 0);
  CHECK(adl.Calls("ADL2_Main_Control_Destroy") == adl.contextsCreated);
  CHECK(fake.libraries.loaded == fake.libraries.unloaded);
  CHECK(tw::DriverAllocLiveBlocks() == blocksBefore);
  CHECK(fake.displayDevices.openSets == 0);
  return 0;
}
