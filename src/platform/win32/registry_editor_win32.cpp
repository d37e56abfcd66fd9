#include "platform/win32/registry_editor_win32.h"

#include <shellapi.h>

#include <string>

#include "platform/win32/library_loader_win32.h"

namespace tw::win32 {
namespace {

using ShellExecuteExFn = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);

// The repeat count 1 in the key messages' parameter: a tree view ignores typed characters
// without it.
constexpr LPARAM kOnePress = 1;
constexpr LPARAM kKeyReleased = static_cast<LPARAM>(0xC0000001u);

struct PartSearch {
  const wchar_t* className;
  HWND found = nullptr;
};

BOOL CALLBACK MatchPart(HWND window, LPARAM search) {
  auto* wanted = reinterpret_cast<PartSearch*>(search);
  wchar_t name[32] = {};
  ::GetClassNameW(window, name, 32);
  if (std::wstring(name) != wanted->className) return TRUE;
  wanted->found = window;
  return FALSE;
}

}  // namespace

void RegistryEditorWin32::DisableFileRedirection() {
  redirectionOff_ = ::Wow64DisableWow64FsRedirection(&redirection_) != FALSE;
}

void RegistryEditorWin32::RevertFileRedirection() {
  if (redirectionOff_) ::Wow64RevertWow64FsRedirection(redirection_);
  redirectionOff_ = false;
}

bool RegistryEditorWin32::FindEditor() {
  editor_ = ::FindWindowW(L"RegEdit_RegEdit", nullptr);
  return editor_ != nullptr;
}

void RegistryEditorWin32::AskEditorToClose() {
  if (editor_) ::SendMessageTimeoutW(editor_, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
}

intptr_t RegistryEditorWin32::StartEditor(const Path& program, uint32_t idleMilliseconds) {
  if (!shell32_) shell32_ = ModuleHandle(LoadSystemFolderOnly(L"shell32.dll"));
  void* const address =
      shell32_ ? reinterpret_cast<void*>(::GetProcAddress(shell32_.get(), "ShellExecuteExW")) : nullptr;
  const auto shellExecuteEx = reinterpret_cast<ShellExecuteExFn>(address);
  if (!shellExecuteEx) return SE_ERR_DLLNOTFOUND;
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"open";
  info.lpFile = program.c_str();
  info.nShow = SW_SHOWNORMAL;
  const BOOL started = shellExecuteEx(&info);
  const auto result = reinterpret_cast<intptr_t>(info.hInstApp);
  if (info.hProcess) {
    ::WaitForInputIdle(info.hProcess, idleMilliseconds);
    ::CloseHandle(info.hProcess);
  }
  // On failure hInstApp holds ShellExecute's error code.
  if (!started) return result > 0 && result <= 32 ? result : SE_ERR_NOASSOC;
  return result > 32 ? result : 33;
}

void RegistryEditorWin32::ShowEditor() {
  if (editor_) ::ShowWindow(editor_, SW_SHOWNORMAL);
}

bool RegistryEditorWin32::FocusPart(RegeditPart part) {
  // The tree and the list may sit in a pane window of their own.
  PartSearch search{part == RegeditPart::Tree ? L"SysTreeView32" : L"SysListView32"};
  if (editor_) ::EnumChildWindows(editor_, MatchPart, reinterpret_cast<LPARAM>(&search));
  part_ = search.found;
  if (!part_) return false;
  ::SetForegroundWindow(editor_);
  return true;
}

void RegistryEditorWin32::PressKey(RegeditKey key) {
  if (!part_) return;
  const WPARAM code = key == RegeditKey::Left ? VK_LEFT : VK_RIGHT;
  ::PostMessageW(part_, WM_KEYDOWN, code, kOnePress);
  ::PostMessageW(part_, WM_KEYUP, code, kKeyReleased);
}

void RegistryEditorWin32::TypeCharacter(char16_t character) {
  if (part_) ::PostMessageW(part_, WM_CHAR, static_cast<WPARAM>(character), kOnePress);
}

void RegistryEditorWin32::ReleaseLeftButton() {
  if (part_) ::PostMessageW(part_, WM_LBUTTONUP, 0, 0);
}

}  // namespace tw::win32
