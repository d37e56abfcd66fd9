// Arbitrary bytes as a .reg file (or, lacking its markers, a BIOS image) through the whole
// file reader; a loaded table must survive a write and a read back unchanged.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fakes/fake_platform.h"
#include "fuzz_check.h"
#include "messages/message_writer.h"
#include "powerplay/powerplay_ports.h"
#include "powerplay/reg_file.h"
#include "powerplay/table_file.h"
#include "profiles/option_set.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  tw::test::FakePlatform fake;
  tw::OptionSet options;
  tw::MessageWriter messages(options.IgnoreError8, fake.platform);
  tw::PowerPlayPorts ports{fake.files, fake.errors, fake.ansi, messages};

  const std::string text = tw::DecodeFileText(bytes, fake.ansi);
  if (tw::IsRegFileText(text)) {
    const tw::TableParse parse = tw::ParseRegFileText(text);
    TW_FUZZ_CHECK(parse.ok() || parse.table.empty());
    if (const auto key = tw::KeyTextFromRegFile(text)) TW_FUZZ_CHECK(key->size() < 120 * 4);
  }

  fake.files.files["in.reg"] = bytes;
  tw::PowerPlayTable table;
  tw::TableFileKey key;
  if (!tw::ReadTableFile(ports, "in.reg", table, &key)) {
    TW_FUZZ_CHECK(table.empty());
    return 0;
  }
  TW_FUZZ_CHECK(tw::TableSizeOk(table));
  constexpr const char* kPath = "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e968-e325-11ce-bfc1-08002be10318}\\0000";
  TW_FUZZ_CHECK(tw::WriteRegFile(ports, table, kPath, "out.reg"));
  tw::PowerPlayTable again;
  TW_FUZZ_CHECK(tw::ReadTableFile(ports, "out.reg", again));
  TW_FUZZ_CHECK(again == table);
  return 0;
}
