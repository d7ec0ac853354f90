# Warnings and shared options: every target links corvane_options.
add_library(corvane_options INTERFACE)
target_compile_options(corvane_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
  -Woverloaded-virtual -Wimplicit-fallthrough
  $<$<BOOL:${CORVANE_WERROR}>:-Werror>)
if(CORVANE_SANITIZE)
  target_compile_options(corvane_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(corvane_options INTERFACE -fsanitize=address,undefined)
endif()

if(CORVANE_FUZZ)
  # Coverage for libFuzzer in every target; the fuzz targets add -fsanitize=fuzzer.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# The hardening Debian builds its packages with (lintian checks the packaged
# binaries for it): fortified libc calls, stack protection, a read-only GOT.
# Release only: fortification needs the optimizer, and the sanitizer and
# fuzzer builds bring their own checks.
if(CMAKE_BUILD_TYPE STREQUAL "Release" AND NOT CORVANE_SANITIZE AND NOT CORVANE_FUZZ
   AND NOT EMSCRIPTEN)
  target_compile_definitions(corvane_options INTERFACE _FORTIFY_SOURCE=2)
  target_compile_options(corvane_options INTERFACE
    -fstack-protector-strong -fstack-clash-protection -fcf-protection)
  target_link_options(corvane_options INTERFACE -Wl,-z,relro -Wl,-z,now)
endif()

# WebAssembly's own exceptions: the suite reader throws and PushValue catches a
# failed allocation, and a path that throws nothing costs nothing (emscripten's
# older JavaScript exceptions route calls out of functions with cleanups
# through JavaScript). Link-time optimization: the run control's executor
# loop runs about 15% faster under V8 with it.
if(EMSCRIPTEN)
  add_compile_options(-fwasm-exceptions -flto)
  add_link_options(-fwasm-exceptions -flto)
endif()
