#pragma once
// One move-only owner for every OS handle (library modules, registry keys, device sets,
// files). Traits supply the handle type, its empty value and how to close it:
//
//   struct Traits {
//     using pointer = ...;
//     static pointer invalid() noexcept;
//     static void close(pointer) noexcept;
//   };

#include <utility>

namespace tw {

template <typename Traits>
class unique_handle {
 public:
  using pointer = typename Traits::pointer;

  unique_handle() noexcept : value_(Traits::invalid()) {}
  explicit unique_handle(pointer value) noexcept : value_(value) {}
  unique_handle(const unique_handle&) = delete;
  unique_handle& operator=(const unique_handle&) = delete;
  unique_handle(unique_handle&& other) noexcept : value_(other.release()) {}
  unique_handle& operator=(unique_handle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~unique_handle() { reset(); }

  explicit operator bool() const noexcept { return value_ != Traits::invalid(); }
  pointer get() const noexcept { return value_; }

  pointer release() noexcept { return std::exchange(value_, Traits::invalid()); }

  void reset(pointer value = Traits::invalid()) noexcept {
    const pointer old = std::exchange(value_, value);
    if (old != Traits::invalid()) Traits::close(old);
  }

 private:
  pointer value_;
};

}  // namespace tw
