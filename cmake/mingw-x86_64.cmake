# The same Windows program and tests as a 64-bit build, for 64-bit Wine on
# machines whose kernel runs no 32-bit code:
#   cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
set(NORVANE_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
