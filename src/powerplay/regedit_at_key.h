#pragma once
// Bringing the registry editor up at the card's key, so that the user sees the value the
// PowerPlay editor works on.

#include <string_view>

namespace tw {

class Clock;
class Machine;
class MessageWriter;
class Registry;
class RegistryEditorWindows;

struct RegeditPorts {
  Registry& registry;
  RegistryEditorWindows& windows;
  Machine& machine;
  Clock& clock;
  MessageWriter& messages;
};

inline constexpr uint32_t kRegeditIdleWait = 200;      // ms
inline constexpr uint32_t kRegeditStepPause = 25;      // ms
inline constexpr int kRegeditCollapsePresses = 30;
inline constexpr uint32_t kRegeditWindowWaitStep = 50;  // ms
inline constexpr int kRegeditWindowWaitSteps = 60;      // 3 s in all

// Closes an open registry editor, then either leaves the key in its "LastKey" (without
// administrator rights, when that value reads back equal) and starts it, or starts it and
// walks its key tree there by typing. A value name that is not empty is then typed into
// the value list. The editor is started only by its full path in the Windows folder.
void OpenRegeditAt(RegeditPorts& ports, bool isAdmin, std::string_view keyText, std::string_view valueName);

}  // namespace tw
