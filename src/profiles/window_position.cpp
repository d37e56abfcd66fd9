#include "profiles/window_position.h"

#include <string>

#include "app/app.h"
#include "ini/ini_file.h"
#include "ini/ini_values.h"

namespace tw {

WindowPosition LoadWindowPosition(App& app) {
  const IniRead main = ReadIniFile(app.platform.files, app.platform.ansi, app.paths.iniPath);
  return {ReadInteger(main.document, kGeneralSection, "MainWindowLeft", 0),
          ReadInteger(main.document, kGeneralSection, "MainWindowTop", 0)};
}

void SaveWindowPosition(App& app, const WindowPosition& position) {
  FileSystem& files = app.platform.files;
  const Path& path = app.paths.iniPath;
  if (position.centred() || !files.FileExists(path) || files.IsReadOnly(path)) return;
  RewriteIniFile(app.platform, app.messages, path, [&](IniDocument& main) {
    main.SetValue(kGeneralSection, "MainWindowLeft", std::to_string(position.left));
    main.SetValue(kGeneralSection, "MainWindowTop", std::to_string(position.top));
    return true;
  });
}

}  // namespace tw
