#pragma once
// OS error codes as the Windows last-error facility reports them.

#include <cstdint>
#include <string>

namespace tw {

class SystemErrors {
 public:
  virtual ~SystemErrors() = default;
  virtual uint32_t LastError() = 0;
  // The system message for the code in the user's language, inserts ignored; empty when
  // the system has none.
  virtual std::string Describe(uint32_t code) = 0;
};

}  // namespace tw
