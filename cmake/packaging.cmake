# What `cmake --install` puts where, and the archives `cpack` makes of it:
#   Windows (MinGW-w64):  Ledgerwise-<version>-win64.zip
#                         Ledgerwise.exe, Ledgerwise-watch.cmd, guide-ja.txt,
#                         LICENSE.txt, THIRD-PARTY-NOTICES.txt
#   elsewhere:            Ledgerwise-<version>-linux-<arch>.tar.gz
#                         bin/ledgerwise, share/man/man1/ledgerwise.1,
#                         share/doc/ledgerwise/LICENSE,
#                         share/doc/ledgerwise/THIRD-PARTY-NOTICES.txt
# THIRD-PARTY-NOTICES.txt carries the notices of the runtime libraries
# linked into the programs; keep it in step with what the linker takes in
# (the static exe: the MinGW-w64 runtime, winpthreads, libgcc, libstdc++).
# LEDGERWISE_BUILD_SUFFIX (e.g. "-ci42") is appended to the version in the
# archive names only; the program keeps printing its own version text.
include(GNUInstallDirs)
set(LEDGERWISE_BUILD_SUFFIX "" CACHE STRING "Appended to the version in package names")

if(WIN32)
  # A player unpacks the zip and double-clicks; everything sits beside the
  # exe. Notepad on older Windows shows a text file whole only with CR LF.
  set(_ledgerwise_package_dir "${CMAKE_CURRENT_BINARY_DIR}/package")
  configure_file(docs/guide-ja.txt "${_ledgerwise_package_dir}/guide-ja.txt" @ONLY NEWLINE_STYLE CRLF)
  configure_file(LICENSE "${_ledgerwise_package_dir}/LICENSE.txt" @ONLY NEWLINE_STYLE CRLF)
  configure_file(THIRD-PARTY-NOTICES.txt "${_ledgerwise_package_dir}/THIRD-PARTY-NOTICES.txt" @ONLY
                 NEWLINE_STYLE CRLF)
  # The watch mode for a double-click: a batch file, with the CR LF line
  # ends cmd.exe expects.
  configure_file(src/app/windows/Ledgerwise-watch.cmd "${_ledgerwise_package_dir}/Ledgerwise-watch.cmd"
                 @ONLY NEWLINE_STYLE CRLF)
  install(TARGETS ledgerwise RUNTIME DESTINATION .)
  install(FILES "${_ledgerwise_package_dir}/Ledgerwise-watch.cmd"
          "${_ledgerwise_package_dir}/guide-ja.txt" "${_ledgerwise_package_dir}/LICENSE.txt"
          "${_ledgerwise_package_dir}/THIRD-PARTY-NOTICES.txt" DESTINATION .)
else()
  install(TARGETS ledgerwise RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES docs/ledgerwise.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES LICENSE THIRD-PARTY-NOTICES.txt DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/ledgerwise)
endif()

set(CPACK_PACKAGE_NAME Ledgerwise)
set(CPACK_PACKAGE_VENDOR "the Ledgerwise developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Match statistics report from the game's daily versus logs")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}${LEDGERWISE_BUILD_SUFFIX}")
set(CPACK_RESOURCE_FILE_LICENSE "${CMAKE_CURRENT_SOURCE_DIR}/LICENSE")
# A RelWithDebInfo build ships without its debug information.
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "")
if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(_ledgerwise_platform win64)
  else()
    set(_ledgerwise_platform win32)
  endif()
  set(CPACK_GENERATOR ZIP)
else()
  string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" _ledgerwise_platform)
  set(CPACK_GENERATOR TGZ)
endif()
set(CPACK_PACKAGE_FILE_NAME "Ledgerwise-${CPACK_PACKAGE_VERSION}-${_ledgerwise_platform}")
include(CPack)
