#pragma once
// The registry editor ("regedit.exe"), an outside program that Tunewright starts and steers
// to a key with key presses, as a user would. Each call is one small step; the order of
// the steps is the core's (powerplay/regedit_at_key.h).

#include <cstdint>

#include "platform/file_system.h"

namespace tw {

enum class RegeditPart { Tree, List };  // the key tree ("SysTreeView32"), the value list ("SysListView32")
enum class RegeditKey { Left, Right };

class RegistryEditorWindows {
 public:
  virtual ~RegistryEditorWindows() = default;

  // The 64-bit file-system redirection of a 32-bit process, off until reverted.
  virtual void DisableFileRedirection() = 0;
  virtual void RevertFileRedirection() = 0;

  // Looks for a top-level window of the class "RegEdit_RegEdit" and remembers it.
  virtual bool FindEditor() = 0;
  // Asks the remembered window to close (WM_CLOSE); does not wait.
  virtual void AskEditorToClose() = 0;
  // Starts the program with the verb "open" in a normal window and waits until it is idle,
  // at most `idleMilliseconds`. The result follows ShellExecute: above 32 means started.
  virtual intptr_t StartEditor(const Path& program, uint32_t idleMilliseconds) = 0;
  // Shows the remembered window normally (restored, not minimised).
  virtual void ShowEditor() = 0;
  // Finds the part in the remembered window and brings it to the foreground; the keys,
  // characters and button release below go to it.
  virtual bool FocusPart(RegeditPart part) = 0;
  virtual void PressKey(RegeditKey key) = 0;
  virtual void TypeCharacter(char16_t character) = 0;
  virtual void ReleaseLeftButton() = 0;
};

}  // namespace tw
