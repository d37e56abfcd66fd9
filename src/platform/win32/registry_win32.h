#pragma once

#include "platform/registry.h"

namespace tw::win32 {

class RegistryWin32 final : public Registry {
 public:
  OpenedKey OpenKey(RegistryRoot root, std::string_view path, uint32_t access) override;
};

}  // namespace tw::win32
