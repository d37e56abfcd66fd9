#include "app/snapshot.h"

#include <cstdio>
#include <memory>
#include <system_error>

#include "app/app.h"
#include "app/snapshot_text.h"
#include "base/text.h"
#include "gpu/driver_connection.h"
#include "gpu/gpu_list_builder.h"
#include "ini/safe_file_writer.h"
#include "platform/clock.h"
#include "regulator/regulator_detection.h"
#include "regulator/regulator_snapshot.h"
#include "version.h"

namespace tw {
namespace {

std::string TakenAt(Clock& clock) {
  const LocalDateTime now = clock.Now();
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", now.year, now.month, now.day, now.hour,
                now.minute, now.second);
  return text;
}

std::optional<Path> SnapshotPath(App& app, std::string_view fileName, bool console) {
  std::error_code error;
  const Path path = std::filesystem::absolute(PathFromUtf8(fileName), error);
  if (error) {
    app.messages.ReportMessage("Failed to save the snapshot: \"" + std::string(fileName) + "\" is not a usable file name",
                               console);
    return std::nullopt;
  }
  if (app.platform.files.DirectoryExists(path)) {
    app.messages.ReportMessage("Failed to save the snapshot: \"" + PathToUtf8(path) + "\" is a folder", console);
    return std::nullopt;
  }
  return path;
}

// The regulators as detection would find them, without the [I2C] section it would write.
void LocateRegulators(App& app) {
  if (app.options.EnableI2c && !app.regulatorDetection.done) LocateRegulator(app.regulatorContext(), app.regulatorDetection.scan);
}

const GPUItem* FoundRegulatorOf(const App& app, int32_t adapterIndex) {
  if (!app.options.EnableI2c) return nullptr;
  for (const GPUItem& gpu : app.gpus)
    if (gpu.adapterIndex() == adapterIndex && gpu.i2cFound) return &gpu;
  return nullptr;
}

void ReportFailure(App& app, size_t number, const CardSnapshot& card, bool console) {
  const ReadFailure& f = *card.failure;
  std::string text = "Could not read card " + std::to_string(number) + " (" + card.adapters.name +
                     ") for the snapshot: " + f.call + " function failed";
  if (!f.note.empty()) text += ": " + f.note;
  app.messages.ReportMessage(text, console, f.result);
}

std::vector<std::string> LacksOf(DriverConnection& connection) {
  std::vector<std::string> lacks;
  for (const std::string& name : kSnapshotExtraEntryPoints)
    if (!connection.ResolveExtra(name)) lacks.push_back(name);
  return lacks;
}

}  // namespace

bool TakeSnapshot(App& app, std::string_view fileName, bool console) {
  const std::optional<Path> path = SnapshotPath(app, fileName, console);
  if (!path) return false;
  LocateRegulators(app);

  std::string text;
  size_t failures = 0;
  size_t cardCount = 0;
  {
    std::unique_ptr<DriverConnection> connection = OpenDriverConnection(app.platform, app.messages);
    if (!connection) return false;
    const std::optional<std::vector<adl::AdapterInfo>> adapters = ReadAdapterInfos(*connection, app.messages);
    if (!adapters) return false;
    std::vector<CardSnapshot> cards;
    for (const AdapterRun& run : GroupAdapterRuns(*adapters, app.platform.ansi)) {
      CardSnapshot card = ReadCardSnapshot(*connection, run);
      if (const GPUItem* gpu = FoundRegulatorOf(app, run.firstAdapter()); gpu && !card.failure) {
        ReadFailure failure;
        card.regulator = ReadRegulatorSnapshot(*connection, *gpu, failure);
        if (!card.regulator) card.failure = failure;
      }
      if (card.failure) {
        ReportFailure(app, cards.size(), card, console);
        ++failures;
      }
      cards.push_back(std::move(card));
    }
    cardCount = cards.size();
    const LibraryFileInfo library = connection->DescribeLibrary();
    const SnapshotHeader header{kVersionText, TakenAt(app.platform.clock), library.fileName, library.version,
                                LacksOf(*connection)};
    text = FormatSnapshot(header, cards);
  }

  if (!ReplaceFileSafely(app.platform, app.messages, *path, text)) return false;
  std::string done = "Snapshot of " + std::to_string(cardCount) + " card(s) written to \"" + PathToUtf8(*path) + "\"";
  if (failures > 0) done += "; " + std::to_string(failures) + " could not be read";
  app.messages.ReportMessage(done, console, 0, MessageKind::Info);
  return failures == 0;
}

}  // namespace tw
