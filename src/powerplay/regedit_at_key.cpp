#include "powerplay/regedit_at_key.h"

#include "base/text.h"
#include "messages/message_writer.h"
#include "platform/clock.h"
#include "platform/registry_editor.h"
#include "powerplay/registry_table.h"

namespace tw {
namespace {

constexpr intptr_t kHighestShellError = 32;

class RedirectionOff {
 public:
  explicit RedirectionOff(RegistryEditorWindows& windows) : windows_(windows) { windows_.DisableFileRedirection(); }
  ~RedirectionOff() { windows_.RevertFileRedirection(); }
  RedirectionOff(const RedirectionOff&) = delete;
  RedirectionOff& operator=(const RedirectionOff&) = delete;

 private:
  RegistryEditorWindows& windows_;
};

// The editor may take longer than its idle wait to show its window (a cold start, a slow
// machine); the walk needs the window, so it is looked for a little longer.
bool WaitForEditorWindow(RegeditPorts& ports) {
  for (int step = 0; step < kRegeditWindowWaitSteps; ++step) {
    if (ports.windows.FindEditor()) return true;
    ports.clock.Sleep(kRegeditWindowWaitStep);
  }
  return ports.windows.FindEditor();
}

bool StartEditor(RegeditPorts& ports) {
  const std::string program = RegeditPath(ports.machine);
  if (program.empty() || ports.windows.StartEditor(PathFromUtf8(program), kRegeditIdleWait) <= kHighestShellError) {
    ports.messages.ShowError("Failed to start process: " + (program.empty() ? std::string(kRegeditFileName) : program));
    return false;
  }
  const bool found = WaitForEditorWindow(ports);
  ports.clock.Sleep(kRegeditStepPause);
  return found;
}

void TypeText(RegeditPorts& ports, std::u16string_view text) {
  for (char16_t c : text) {
    ports.windows.TypeCharacter(c);
    ports.clock.Sleep(0);
  }
}

void WalkTree(RegeditPorts& ports, std::string_view keyText) {
  ports.windows.ShowEditor();
  if (!ports.windows.FocusPart(RegeditPart::Tree)) return;
  ports.clock.Sleep(kRegeditStepPause);
  for (int i = 0; i < kRegeditCollapsePresses; ++i) ports.windows.PressKey(RegeditKey::Left);
  ports.windows.PressKey(RegeditKey::Right);
  ports.clock.Sleep(kRegeditStepPause);
  for (char16_t c : Utf8ToUtf16(keyText)) {
    if (c == u'\\') ports.windows.PressKey(RegeditKey::Right);
    else ports.windows.TypeCharacter(c);
    ports.clock.Sleep(0);
  }
}

}  // namespace

void OpenRegeditAt(RegeditPorts& ports, bool isAdmin, std::string_view keyText, std::string_view valueName) {
  RedirectionOff redirection(ports.windows);
  bool open = ports.windows.FindEditor();
  if (open) {
    ports.windows.AskEditorToClose();
    open = ports.windows.FindEditor();
  }
  // Without administrator rights the editor cannot be steered by key presses once it runs
  // elevated, so it is told where to open instead.
  const bool atLastKey = !open && !isAdmin && WriteRegeditLastKey(ports.registry, keyText);
  if (!open && !StartEditor(ports)) return;
  if (!atLastKey) WalkTree(ports, keyText);
  if (valueName.empty() || !ports.windows.FocusPart(RegeditPart::List)) return;
  ports.clock.Sleep(kRegeditStepPause);
  ports.windows.ReleaseLeftButton();
  TypeText(ports, Utf8ToUtf16(valueName));
}

}  // namespace tw
