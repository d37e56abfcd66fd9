#pragma once
// A program state on the in-memory platform, with helpers that put "Tunewright.ini" and
// the backup files in place as the program would find them.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "app/app.h"
#include "app/app_files.h"
#include "base/text.h"
#include "fakes/fake_platform.h"
#include "ini/ini_encoding.h"

namespace tw::test {

class ProfilesTest : public ::testing::Test {
 protected:
  FakePlatform fake;
  App app{fake.platform};

  // A path as messages show it (backslashes on Windows).
  static std::string Shown(const Path& path) { return PathToUtf8(path); }
  static std::string Key(const Path& path) { return InMemoryFileSystem::Key(path); }
  std::string IniKey() const { return Key(app.paths.iniPath); }
  std::string BackupIniKey() const { return Key(app.paths.backupIniPath); }
  std::string BackupFolderKey() const { return Key(app.paths.backupIniPath.parent_path()); }

  // Stores text (written with "\n"; stored with CR LF) as the program writes it.
  void PutFile(const std::string& key, std::string_view text) { fake.files.files[key] = Encode(text); }
  void PutIni(std::string_view text) { PutFile(IniKey(), text); }
  void PutBackup(const std::string& name, std::string_view text) {
    fake.files.folders.insert(BackupFolderKey());
    PutFile(BackupFolderKey() + "/" + name, text);
  }

  // The file's text with CR LF turned back into "\n".
  std::string Text(const std::string& key) {
    std::string text = DecodeIniBytes(fake.files.files.at(key), fake.ansi).text;
    std::string out;
    for (size_t i = 0; i < text.size(); ++i)
      if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
  }
  std::string IniText() { return Text(IniKey()); }
  // Whether any temporary file of a save is left anywhere.
  bool AnyTemporary() const {
    for (const auto& [key, bytes] : fake.files.files)
      if (key.size() > 4 && key.substr(key.size() - 4) == ".tmp") return true;
    return false;
  }

  static std::string Encode(std::string_view text) {
    std::string crlf;
    for (char c : text) {
      if (c == '\n') crlf += '\r';
      crlf += c;
    }
    return EncodeIniText(crlf);
  }

  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const ShownBox& box : fake.dialogs.boxes) texts.push_back(box.text);
    return texts;
  }
};

}  // namespace tw::test
