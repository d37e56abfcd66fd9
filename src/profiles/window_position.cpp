#include "profiles/window_position.h"

#include <string>

#include "ini/ini_file.h"
#include "ini/ini_values.h"
#include "profiles/ini_context.h"

namespace tw {

WindowPosition LoadWindowPosition(const IniContext& ini) {
  const IniRead main = ReadIniFile(ini.platform.files, ini.platform.ansi, ini.paths.iniPath);
  return {ReadInteger(main.document, kGeneralSection, "MainWindowLeft", 0),
          ReadInteger(main.document, kGeneralSection, "MainWindowTop", 0)};
}

void SaveWindowPosition(const IniContext& ini, const WindowPosition& position) {
  FileSystem& files = ini.platform.files;
  const Path& path = ini.paths.iniPath;
  if (position.centred() || !files.FileExists(path) || files.IsReadOnly(path)) return;
  RewriteIniFile(ini.platform, ini.messages, path, [&](IniDocument& main) {
    main.SetValue(kGeneralSection, "MainWindowLeft", std::to_string(position.left));
    main.SetValue(kGeneralSection, "MainWindowTop", std::to_string(position.top));
    return true;
  });
}

}  // namespace tw
