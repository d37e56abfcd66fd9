#include "platform/posix/console_posix.h"

#include <unistd.h>

namespace tw::posix {
namespace {

void WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written <= 0) return;
    text.remove_prefix(static_cast<size_t>(written));
  }
}

}  // namespace

bool ConsolePosix::AttachToParent(uint32_t&) { return true; }
bool ConsolePosix::OpenStandardOutput(uint32_t&) { return true; }
bool ConsolePosix::BindRuntimeOutput() { return true; }

void ConsolePosix::SetTextAttribute(uint16_t attribute) {
  if (!::isatty(STDOUT_FILENO)) return;
  switch (attribute) {
    case 10: WriteAll(STDOUT_FILENO, "\x1b[92m"); break;
    case 12: WriteAll(STDOUT_FILENO, "\x1b[91m"); break;
    case 14: WriteAll(STDOUT_FILENO, "\x1b[93m"); break;
    default: WriteAll(STDOUT_FILENO, "\x1b[0m"); break;
  }
}

void ConsolePosix::Write(std::string_view text) { WriteAll(STDOUT_FILENO, text); }

}  // namespace tw::posix
