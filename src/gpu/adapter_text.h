#pragma once
// Text from the driver's fixed-size char arrays. The driver need not end them with a zero,
// so the text stops at the first zero or at the end of the array, whichever comes first.

#include <cstddef>
#include <string>

namespace tw {

class AnsiCodePage;

std::string AdapterText(const char* chars, size_t capacity, AnsiCodePage& ansi);

template <size_t N>
std::string AdapterText(const char (&chars)[N], AnsiCodePage& ansi) {
  return AdapterText(chars, N, ansi);
}

}  // namespace tw
