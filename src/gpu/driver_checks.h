#pragma once
// The start-up checks that tell the user why no card can be used.

namespace tw {

class Machine;
class MessageWriter;
class SystemErrors;

// True when an AMD kernel-mode display driver is loaded; also true (after an error box)
// when the driver list itself cannot be read, so that the start goes on.
bool CheckDriverLoaded(Machine& machine, SystemErrors& errors, MessageWriter& messages);

}  // namespace tw
