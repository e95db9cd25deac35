# The package version is the one the program prints, so the two cannot drift:
# "Ver 1.0.4(2005/05/04)" in src/sjis_pages/pages.h gives LEDGERWISE_VERSION 1.0.4.
file(STRINGS "${CMAKE_CURRENT_LIST_DIR}/../src/sjis_pages/pages.h" _ledgerwise_version_line
     REGEX "kVersionText\\[\\] *= *\"Ver [0-9]+\\.[0-9]+\\.[0-9]+")
if(NOT _ledgerwise_version_line MATCHES "Ver ([0-9]+\\.[0-9]+\\.[0-9]+)")
  message(FATAL_ERROR "no \"Ver N.N.N\" version text in src/sjis_pages/pages.h (kVersionText)")
endif()
set(LEDGERWISE_VERSION "${CMAKE_MATCH_1}")
unset(_ledgerwise_version_line)
