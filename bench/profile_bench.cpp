// Load and save of a "Tunewright.ini" with 500 profiles on the real file system, as the
// window does it after every profile command; also in memory, which leaves out the
// disk's own flush time. Prints the medians of the runs in ms.

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "app/app.h"
#include "fakes/fake_platform.h"
#include "platform/posix/file_system_posix.h"
#include "platform/posix/system_services_posix.h"
#include "profiles/profile_store.h"

namespace {

using Clock = std::chrono::steady_clock;

tw::ProfileItem SampleProfile(int i) {
  tw::ProfileItem p;
  p.name = "Profile number " + std::to_string(i);
  for (int k = 0; k < 8; ++k) {
    p.gpuClock.push_back(300 + 150 * k);
    p.gpuVcc.push_back(750 + 40 * k);
    p.gpuEnabled.push_back(k != 3);
  }
  for (int k = 0; k < 3; ++k) {
    p.memClock.push_back(300 + 900 * k);
    p.memVcc.push_back(800 + 50 * k);
    p.memEnabled.push_back(true);
  }
  for (int k = 0; k < tw::kFanCurvePoints; ++k) p.fanCurve[static_cast<size_t>(k)] = {30 + 12 * k, 20 + 20 * k};
  p.memTimingLevel = 1;
  p.fanZeroRpm = 0;
  p.fanAcoustic = 1200;
  p.powerTarget = i % 50;
  p.offset = 4;
  p.llc = 1;
  p.phaseGain = "000000";
  p.currentScale = "40";
  return p;
}

struct Figures {
  double loadMedian, saveMedian, totalMedian, totalMin;
  uintmax_t bytes;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Saves 500 profiles once, then times LoadProfiles on an empty list and SaveProfiles.
bool Measure(tw::test::FakePlatform& fake, tw::FileSystem& files, tw::SystemErrors& errors, Figures& figures) {
  tw::Platform platform{fake.ansi,      fake.clock,   fake.console, fake.dialogs,       files,
                        fake.libraries, fake.machine, errors,       fake.displayDevices, fake.shell};
  tw::App app(platform);
  app.options.EnableI2c = true;
  for (int i = 0; i < 500; ++i) app.profiles.push_back(SampleProfile(i));
  if (!tw::SaveProfiles(app.ini(), app.options, app.profiles, app.knownProfileSections)) return false;
  constexpr int kRuns = 31;
  std::vector<double> loads, saves, totals;
  for (int run = 0; run < kRuns; ++run) {
    app.profiles.clear();
    const Clock::time_point start = Clock::now();
    const int count = tw::LoadProfiles(app.ini(), app.profiles, app.knownProfileSections);
    const Clock::time_point loaded = Clock::now();
    const bool saved = tw::SaveProfiles(app.ini(), app.options, app.profiles, app.knownProfileSections);
    const Clock::time_point end = Clock::now();
    if (count != 500 || !saved) return false;
    loads.push_back(Ms(loaded - start));
    saves.push_back(Ms(end - loaded));
    totals.push_back(Ms(end - start));
  }
  figures = {Median(loads), Median(saves), Median(totals), *std::min_element(totals.begin(), totals.end()),
             files.ReadFile(app.paths.iniPath).value_or("").size()};
  return true;
}

void Print(const char* where, const Figures& f) {
  std::printf("%-28s load %6.2f ms  save %6.2f ms  load+save %6.2f ms (best %.2f)\n", where, f.loadMedian,
              f.saveMedian, f.totalMedian, f.totalMin);
}

}  // namespace

int main() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tw-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return 1;
  const std::filesystem::path folder = pattern;

  Figures disk{}, memory{};
  tw::test::FakePlatform fake;
  fake.machine.executablePath = folder / "Tunewright.exe";
  tw::posix::FileSystemPosix files;
  tw::posix::SystemErrorsPosix errors;
  const bool diskOk = Measure(fake, files, errors, disk);
  tw::test::FakePlatform inMemory;
  const bool memoryOk = Measure(inMemory, inMemory.files, inMemory.errors, memory);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  if (!diskOk || !memoryOk) return 1;

  std::printf("500 profiles, %ju bytes of Tunewright.ini, medians of 31 runs\n", disk.bytes);
  Print("real file system (fsync):", disk);
  Print("in memory (the program):", memory);
  return 0;
}
