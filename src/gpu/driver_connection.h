#pragma once
// One connection to the display driver library: the library loaded, its entry points
// resolved and a context created, for the length of one operation. Nothing of it survives
// between operations. Destroying the connection destroys the context and unloads the
// library, so every path out of an operation closes it exactly once.

#include <memory>
#include <string_view>

#include "gpu/adl_abi.h"
#include "gpu/driver_entry_points.h"
#include "platform/library_loader.h"

namespace tw {

class MessageWriter;
struct Platform;

// The library file names, in the order they are tried.
inline constexpr std::string_view kDriverLibraryNames[] = {"atiadlxx.dll", "atiadlxy.dll", "amdadlxx.dll"};

class DriverConnection {
 public:
  DriverConnection(std::unique_ptr<LoadedLibrary> library, const DriverEntryPoints& api, adl::Context context);
  ~DriverConnection();
  DriverConnection(const DriverConnection&) = delete;
  DriverConnection& operator=(const DriverConnection&) = delete;

  // Destroys the context and unloads the library; later calls do nothing.
  void Close();
  bool IsOpen() const { return library_ != nullptr; }

  const DriverEntryPoints& api() const { return api_; }
  adl::Context context() const { return context_; }

  // The loaded library's file name and version; empty fields when closed or unreported.
  LibraryFileInfo DescribeLibrary() const;

  // Entry points beyond the 21 (fan test, power features), looked up in the open library.
  // nullptr when the library lacks the name or the connection is closed.
  void* ResolveExtra(std::string_view name);
  template <class Fn>
  Fn ResolveExtraAs(std::string_view name) {
    return reinterpret_cast<Fn>(ResolveExtra(name));
  }

 private:
  std::unique_ptr<LoadedLibrary> library_;
  DriverEntryPoints api_;
  adl::Context context_;
};

// Loads the first library that loads, resolves the 21 entry points and creates a context.
// nullptr when any of that fails; the reason has been shown in an error box and whatever
// was loaded is unloaded again.
std::unique_ptr<DriverConnection> OpenDriverConnection(Platform& platform, MessageWriter& messages);

}  // namespace tw
