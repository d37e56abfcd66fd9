#pragma once
/* The simulated machine: C exports of the simulator beside the driver entry points, for
 * the simulated-hardware builds (src/platform/simulated) and the adlsim tool. Texts are UTF-8.
 * Functions returning unsigned answer 0 or the Windows error code of the failure. */

#ifdef __cplusplus
extern "C" {
#endif

typedef unsigned (*adlsim_KernelDrivers_Count_t)(int* count);
/* ERROR_INSUFFICIENT_BUFFER (122) with *length = the bytes needed when the buffer is short. */
typedef unsigned (*adlsim_KernelDriver_Name_t)(int index, char* buffer, int capacity, int* length);
typedef int (*adlsim_IsUserAdmin_t)(void);
/* Opens the set of present display devices: their count, in the order a walk sees them. */
typedef unsigned (*adlsim_DisplayDevices_Count_t)(int* count);
typedef unsigned (*adlsim_DisplayDevice_InstanceId_t)(int index, char* buffer, int capacity, int* length);
typedef unsigned (*adlsim_DisplayDevice_Restart_t)(int index);
/* ERROR_INVALID_DATA (13) when the device has no friendly name. */
typedef unsigned (*adlsim_DisplayDevice_FriendlyName_t)(int index, char* buffer, int capacity, int* length);
typedef unsigned (*adlsim_DisplayDevice_SetFriendlyName_t)(int index, const char* name);
typedef unsigned (*adlsim_DisplayDevice_RemoveFriendlyName_t)(int index);

/* For the adlsim tool. */
typedef unsigned (*adlsim_Tool_Reset_t)(void);
/* Writes a UTF-8 report of the rig and its state into the buffer (same size rules). */
typedef unsigned (*adlsim_Tool_Describe_t)(char* buffer, int capacity, int* length);
/* Changes one held value as another program would: "card.N.KEY" with the state file's keys
 * ("card.0.power", "card.2.od8", ...) and the value in the state file's form. */
typedef unsigned (*adlsim_Tool_SetValue_t)(const char* key, const char* value);
typedef unsigned (*adlsim_Tool_Paths_t)(char* buffer, int capacity, int* length);

#ifdef __cplusplus
}
#endif
