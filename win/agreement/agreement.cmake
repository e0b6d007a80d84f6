# The agreement test: damaged copies of the plug-in and of the stand-in host, each in a game
# folder of its own, loaded by the system's loader under Wine (LoaderProbe.exe) and judged by
# `holdout doctor` (the Linux build's, made for the package's pictures); the two must agree on every
# folder. The copies are made by make_damaged_copies, a program of the build machine.
add_executable(LoaderProbe ${CMAKE_CURRENT_LIST_DIR}/loader_probe.cpp
                           ${CMAKE_CURRENT_SOURCE_DIR}/host/import_patch.cpp)
target_include_directories(LoaderProbe PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_options(LoaderProbe PRIVATE -static)

set(HOLDOUT_DAMAGE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/make_damaged_copies.cpp
  ${CMAKE_CURRENT_LIST_DIR}/damage_cases.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image_fields.cpp)
set(HOLDOUT_MAKE_DAMAGED_COPIES ${CMAKE_CURRENT_BINARY_DIR}/make_damaged_copies)
holdout_native_program(${HOLDOUT_MAKE_DAMAGED_COPIES}
  FLAGS -std=c++20 -O1 -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion -Werror
        -I${CMAKE_SOURCE_DIR}/tools
  SOURCES ${HOLDOUT_DAMAGE_SOURCES}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/damage_cases.h ${CMAKE_CURRENT_LIST_DIR}/image_fields.h
          ${CMAKE_SOURCE_DIR}/tools/binary_reader/checked_bytes.h
  COMMENT "The damage generator (native compiler)")
add_custom_target(holdout_make_damaged_copies ALL DEPENDS ${HOLDOUT_MAKE_DAMAGED_COPIES})

add_test(NAME doctor_agrees_with_loader
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/agreement_test.sh ${HOLDOUT_MAKE_DAMAGED_COPIES}
          $<TARGET_FILE:Holdout> $<TARGET_FILE:ScriptHookFrontier> $<TARGET_FILE:LoaderProbe>
          ${HOLDOUT_NATIVE_TOOL} ${CMAKE_CURRENT_BINARY_DIR}/agreement ${HOLDOUT_WINE_DIR}
          ${CMAKE_BINARY_DIR}/wine-prefix)
set_tests_properties(doctor_agrees_with_loader PROPERTIES RESOURCE_LOCK wine)
