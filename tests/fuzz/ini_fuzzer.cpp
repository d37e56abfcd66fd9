// Any bytes as "Tunewright.ini": decoding, parsing, reading the profiles, and rewriting.
// Besides crashes and sanitizer reports it checks two promises of the store: a rewrite
// is stable, and every profile it writes reads back.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fakes/latin1_code_page.h"
#include "ini/ini_document.h"
#include "ini/ini_encoding.h"
#include "profiles/profile_store.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tw::test::Latin1CodePage ansi;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  tw::IniDocument document = tw::IniDocument::Parse(tw::DecodeIniBytes(bytes, ansi).text);

  const std::string text = document.Serialize();
  const std::string encoded = tw::EncodeIniText(text);
  Check(tw::DecodeIniBytes(encoded, ansi).text == text);
  Check(tw::IniDocument::Parse(text).Serialize() == text);

  tw::ProfileList profiles;
  tw::ReadProfiles(document, profiles, [](const std::string&) {});
  tw::KnownProfileSections known;
  tw::RememberLoadedSections(profiles, 0, known);
  tw::WriteProfiles(document, profiles, known);
  tw::ProfileList again;
  bool malformed = false;
  tw::ReadProfiles(tw::IniDocument::Parse(document.Serialize()), again, [&](const std::string&) { malformed = true; });
  Check(!malformed && again.size() >= profiles.size());
  for (size_t i = 0; i < profiles.size(); ++i) {
    Check(again[i].name == profiles[i].name);
    Check(again[i].gpuClock == profiles[i].gpuClock && again[i].gpuVcc == profiles[i].gpuVcc);
    Check(again[i].gpuEnabled == profiles[i].gpuEnabled && again[i].memEnabled == profiles[i].memEnabled);
    Check(again[i].overdriveVersion == profiles[i].overdriveVersion);
  }
  return 0;
}
