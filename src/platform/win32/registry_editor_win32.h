#pragma once

#include <windows.h>

#include "platform/registry_editor.h"
#include "platform/win32/handles.h"

namespace tw::win32 {

// The registry editor's windows, reached with FindWindow and posted messages: the editor
// is another process, so its controls are driven by messages, never by their memory.
class RegistryEditorWin32 final : public RegistryEditorWindows {
 public:
  void DisableFileRedirection() override;
  void RevertFileRedirection() override;
  bool FindEditor() override;
  void AskEditorToClose() override;
  intptr_t StartEditor(const Path& program, uint32_t idleMilliseconds) override;
  void ShowEditor() override;
  bool FocusPart(RegeditPart part) override;
  void PressKey(RegeditKey key) override;
  void TypeCharacter(char16_t character) override;
  void ReleaseLeftButton() override;

 private:
  ModuleHandle shell32_;
  HWND editor_ = nullptr;
  HWND part_ = nullptr;
  PVOID redirection_ = nullptr;
  bool redirectionOff_ = false;
};

}  // namespace tw::win32
