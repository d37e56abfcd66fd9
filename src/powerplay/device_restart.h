#pragma once
// Restarting one display device through the device installer services, so that its
// driver takes up a new soft PowerPlay table or comes back after a failure.

#include <string>

namespace tw {

class DisplayDevices;
class MessageWriter;

// True when a present display device with exactly this instance id was found and
// restarted. Device installer failures are shown with their system error; a device that
// is simply not there is left for the caller to report in its own words.
bool RestartDevice(DisplayDevices& devices, MessageWriter& messages, const std::string& instanceId);

}  // namespace tw
