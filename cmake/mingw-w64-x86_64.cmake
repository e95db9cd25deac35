# Cross build of the Windows program with MinGW-w64 (64-bit), run and tested
# under Wine:
#
#   cmake --preset mingw && cmake --build --preset mingw
#
# or by hand: cmake -S . -B build-mingw -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(LEDGERWISE_MINGW_TRIPLE x86_64-w64-mingw32)

# The posix-thread variant first: it is the one whose libstdc++ has
# std::thread and friends, which GoogleTest and any later code may want.
find_program(LEDGERWISE_MINGW_CXX
  NAMES ${LEDGERWISE_MINGW_TRIPLE}-g++-posix ${LEDGERWISE_MINGW_TRIPLE}-g++ REQUIRED)
find_program(LEDGERWISE_MINGW_CC
  NAMES ${LEDGERWISE_MINGW_TRIPLE}-gcc-posix ${LEDGERWISE_MINGW_TRIPLE}-gcc REQUIRED)
find_program(LEDGERWISE_MINGW_RC NAMES ${LEDGERWISE_MINGW_TRIPLE}-windres)
set(CMAKE_CXX_COMPILER ${LEDGERWISE_MINGW_CXX})
# GoogleTest's project also enables C.
set(CMAKE_C_COMPILER ${LEDGERWISE_MINGW_CC})
if(LEDGERWISE_MINGW_RC)
  set(CMAKE_RC_COMPILER ${LEDGERWISE_MINGW_RC})
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${LEDGERWISE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained exe: a user copies Ledgerwise.exe alone into the game's
# folder, where no MinGW runtime DLL waits for it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs (add_test, gtest_discover_tests) run under Wine.
get_filename_component(LEDGERWISE_SOURCE_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${LEDGERWISE_SOURCE_ROOT}/tests/wine/wine-run.sh")

# The distribution has GoogleTest for the build machine only; find_package(GTest)
# finds this config instead, which builds the shipped sources for the target.
set(GTest_DIR "${LEDGERWISE_SOURCE_ROOT}/cmake/gtest-from-source" CACHE PATH
    "GoogleTest built from source for the target")
