# The readers compared with Windows's under Wine: a corpus answered by a probe's Windows build
# (under Wine) and by its Linux build (made with the build machine's compiler), both held to the
# answers recorded in the corpus.
#   holdout_wine_corpus_test(NAME WHAT what WINDOWS_PROBE target CORPUS dir LINE_ENDS console|lf
#                            LINUX_SOURCES ... LINUX_DEPENDS ... LINUX_INCLUDES ... ARGUMENTS ...)
# ARGUMENTS are the probes' arguments, with @CORPUS@ for the corpus folder.
function(holdout_wine_corpus_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "WHAT;WINDOWS_PROBE;CORPUS;LINE_ENDS"
                        "LINUX_SOURCES;LINUX_DEPENDS;LINUX_INCLUDES;ARGUMENTS")
  set(linux_probe ${CMAKE_CURRENT_BINARY_DIR}/${name}.linux-probe)
  list(TRANSFORM arg_LINUX_INCLUDES PREPEND -I OUTPUT_VARIABLE include_flags)
  holdout_native_program(${linux_probe}
    FLAGS -std=c++20 -O1 -Wall -Wextra -Werror ${include_flags}
    SOURCES ${arg_LINUX_SOURCES}
    DEPENDS ${arg_LINUX_DEPENDS}
    COMMENT "Linux probe of ${name} (native compiler)")
  add_custom_target(${name}_linux_probe ALL DEPENDS ${linux_probe})
  add_test(NAME ${name}
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/corpus_diff_test.sh "${arg_WHAT}"
            ${CMAKE_CURRENT_BINARY_DIR}/bin ${HOLDOUT_WINE_DIR} ${CMAKE_BINARY_DIR}/wine-prefix
            $<TARGET_FILE_NAME:${arg_WINDOWS_PROBE}> ${linux_probe} ${arg_CORPUS}
            ${CMAKE_CURRENT_BINARY_DIR}/${name} ${arg_LINE_ENDS} ${arg_ARGUMENTS})
  set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wine)
endfunction()

# The settings-file reader: the corpus's look-ups answered by the system's profile functions
# (ProfileProbe.exe) and by the simulated host's reader.
add_executable(ProfileProbe profile_probe.cpp ${CMAKE_SOURCE_DIR}/sim/tools/profile_lookups.cpp)
target_include_directories(ProfileProbe PRIVATE ${CMAKE_SOURCE_DIR}/sim)
target_link_options(ProfileProbe PRIVATE -static)
holdout_wine_corpus_test(profile_reader_matches_wine
  WHAT "the settings-file reader" WINDOWS_PROBE ProfileProbe LINE_ENDS lf
  CORPUS ${CMAKE_SOURCE_DIR}/tests/profile_corpus
  LINUX_SOURCES ${CMAKE_SOURCE_DIR}/sim/tools/profile_probe.cpp
                ${CMAKE_SOURCE_DIR}/sim/tools/profile_lookups.cpp ${HOLDOUT_PROFILE_READER_SOURCES}
  LINUX_DEPENDS ${CMAKE_SOURCE_DIR}/sim/tools/profile_lookups.h
                ${CMAKE_SOURCE_DIR}/profile/profile_reader.h
                ${CMAKE_SOURCE_DIR}/profile/profile_text.h
                ${CMAKE_SOURCE_DIR}/src/settings/profile_source.h
  LINUX_INCLUDES ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/sim ${CMAKE_SOURCE_DIR}/src
  ARGUMENTS @CORPUS@ @CORPUS@/lookups.txt)

# The position reader: the position corpus read by the plug-in's own reader as the Windows
# build has it (PositionProbe.exe, with mingw-w64 and its C runtime) and as the Linux build has
# it (the build machine's compiler and glibc).
set(HOLDOUT_POSITION_PROBE_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/position_probe.cpp
  ${CMAKE_SOURCE_DIR}/sim/core/number_locale.cpp
  ${CMAKE_SOURCE_DIR}/tests/support/position_corpus.cpp
  ${CMAKE_SOURCE_DIR}/src/settings/position.cpp)
add_executable(PositionProbe ${HOLDOUT_POSITION_PROBE_SOURCES})
target_include_directories(PositionProbe PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests
                                                 ${CMAKE_SOURCE_DIR}/sim
                                                 ${CMAKE_SOURCE_DIR}/src/platform/windows)
target_link_options(PositionProbe PRIVATE -static)
set(HOLDOUT_POSITION_PROBE_DEPENDS
  ${CMAKE_SOURCE_DIR}/tests/support/position_corpus.h ${CMAKE_SOURCE_DIR}/src/settings/position.h
  ${CMAKE_SOURCE_DIR}/sim/core/number_locale.h)
set(HOLDOUT_POSITION_PROBE_INCLUDES ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests
                                    ${CMAKE_SOURCE_DIR}/sim ${CMAKE_SOURCE_DIR}/src/platform/portable)
holdout_wine_corpus_test(position_reader_matches_wine
  WHAT "the position reader" WINDOWS_PROBE PositionProbe LINE_ENDS console
  CORPUS ${CMAKE_SOURCE_DIR}/tests/position_corpus
  LINUX_SOURCES ${HOLDOUT_POSITION_PROBE_SOURCES} LINUX_DEPENDS ${HOLDOUT_POSITION_PROBE_DEPENDS}
  LINUX_INCLUDES ${HOLDOUT_POSITION_PROBE_INCLUDES}
  ARGUMENTS @CORPUS@/texts.txt)
# The same corpus with the process's locale set to one with a decimal comma, as a module of the
# game may set it: the answers are those recorded, unchanged.
include(${CMAKE_SOURCE_DIR}/cmake/decimal_comma_locale.cmake)
holdout_wine_corpus_test(position_reader_ignores_the_locale
  WHAT "the position reader under a decimal-comma locale" WINDOWS_PROBE PositionProbe
  LINE_ENDS console CORPUS ${CMAKE_SOURCE_DIR}/tests/position_corpus
  LINUX_SOURCES ${HOLDOUT_POSITION_PROBE_SOURCES} LINUX_DEPENDS ${HOLDOUT_POSITION_PROBE_DEPENDS}
  LINUX_INCLUDES ${HOLDOUT_POSITION_PROBE_INCLUDES}
  ARGUMENTS @CORPUS@/texts.txt --decimal-comma)
add_dependencies(position_reader_ignores_the_locale_linux_probe holdout_decimal_comma_locale)
set_tests_properties(position_reader_ignores_the_locale PROPERTIES
                     ENVIRONMENT LOCPATH=${HOLDOUT_LOCALE_DIR})

# The position writer against the C runtime's "%.5f" of the same floats, over the positions the
# corpus's texts and its writing cases (ties, carries, the largest floats, subnormals, signed
# zeros) give, with both builds of the probe.
add_test(NAME position_writer_matches_c_runtime
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/c_runtime_writing_test.sh
          ${CMAKE_CURRENT_BINARY_DIR}/bin ${HOLDOUT_WINE_DIR} ${CMAKE_BINARY_DIR}/wine-prefix
          $<TARGET_FILE_NAME:PositionProbe>
          ${CMAKE_CURRENT_BINARY_DIR}/position_reader_matches_wine.linux-probe
          ${CMAKE_SOURCE_DIR}/tests/position_corpus/texts.txt
          ${CMAKE_SOURCE_DIR}/tests/position_corpus/writings.txt)
set_tests_properties(position_writer_matches_c_runtime PROPERTIES RESOURCE_LOCK wine)
