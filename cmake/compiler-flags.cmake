# Warnings are errors on both toolchains.
add_compile_options(-Wall -Wextra -Werror)

# -O2 rather than -O3 for release: smaller code, and GCC 12's -O3 raises false -Wrestrict
# alarms inside std::string.
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG")

if(WIN32)
  # One self-contained exe: the runtimes are linked in so that only system DLLs are imported.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
endif()

if(TW_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
