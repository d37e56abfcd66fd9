#pragma once
// The machine services and tool access behind the adlsim_ exports (see adlsim_machine.h).

namespace adlsim::machine {

unsigned KernelDriversCount(int* count);
unsigned KernelDriverName(int index, char* buffer, int capacity, int* length);
int IsUserAdmin();
unsigned DisplayDevicesCount(int* count);
unsigned DisplayDeviceInstanceId(int index, char* buffer, int capacity, int* length);
unsigned DisplayDeviceRestart(int index);
unsigned DisplayDeviceFriendlyName(int index, char* buffer, int capacity, int* length);
unsigned DisplayDeviceSetFriendlyName(int index, const char* name);
unsigned DisplayDeviceRemoveFriendlyName(int index);

unsigned ToolReset();
unsigned ToolDescribe(char* buffer, int capacity, int* length);
unsigned ToolSetValue(const char* key, const char* value);
unsigned ToolPaths(char* buffer, int capacity, int* length);

}  // namespace adlsim::machine
