#pragma once
// Owner of one list the driver library allocated through DriverAlloc. Pass out() to the
// call; the list is released when the owner goes, whether the call succeeded or not.

#include "gpu/driver_alloc.h"

namespace tw {

template <class T>
class DriverList {
 public:
  DriverList() = default;
  ~DriverList() { reset(); }
  DriverList(const DriverList&) = delete;
  DriverList& operator=(const DriverList&) = delete;

  // The out parameter of the driver call. Any list held before is released first.
  T** out() {
    reset();
    return &list_;
  }
  const T* get() const { return list_; }
  explicit operator bool() const { return list_ != nullptr; }

  void reset() {
    DriverFree(list_);
    list_ = nullptr;
  }

 private:
  T* list_ = nullptr;
};

}  // namespace tw
