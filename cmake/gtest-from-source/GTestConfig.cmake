# find_package(GTest) in a cross build: no GoogleTest library exists for the
# target, so the sources the distribution ships (googletest package) are built
# with the target's compiler, and the usual GTest:: names point at them.
if(NOT TARGET GTest::gtest)
  set(LEDGERWISE_GTEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH "GoogleTest sources")
  if(NOT EXISTS "${LEDGERWISE_GTEST_SOURCE_DIR}/CMakeLists.txt")
    set(GTest_FOUND FALSE)
    set(GTest_NOT_FOUND_MESSAGE
        "no GoogleTest sources in ${LEDGERWISE_GTEST_SOURCE_DIR} (apt-get install googletest)")
    return()
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory("${LEDGERWISE_GTEST_SOURCE_DIR}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
  foreach(_ledgerwise_gtest_target gtest gtest_main)
    # The project's -Werror is for the project's code, not for a third
    # party's warnings under a compiler it was not tuned for.
    target_compile_options(${_ledgerwise_gtest_target} PRIVATE -Wno-error)
    # Newer GoogleTest makes the GTest:: names itself.
    if(NOT TARGET GTest::${_ledgerwise_gtest_target})
      add_library(GTest::${_ledgerwise_gtest_target} ALIAS ${_ledgerwise_gtest_target})
    endif()
  endforeach()
  if(NOT TARGET GTest::GTest)
    add_library(GTest::GTest ALIAS gtest)
  endif()
  if(NOT TARGET GTest::Main)
    add_library(GTest::Main ALIAS gtest_main)
  endif()
endif()
set(GTest_FOUND TRUE)
