// The floor of the command-line benchmark: a program built with the same toolchain, flags
// and runtime as Tunewright that takes its arguments the same way and does nothing else.
// Whatever Tunewright takes beyond this is its own start-up and work.

#include <string>
#include <vector>

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  const std::vector<std::wstring> args(argv + 1, argv + argc);
#else
int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
#endif
  return args.size() > 1000 ? 1 : 0;
}
