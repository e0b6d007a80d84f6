# The player package and the pictures that come with it.
# The player package's pictures (the HUD during a run, the COVER menu with a sandbag being
# placed, the summary banner): the real plug-in in the simulated host, drawn by the holdout
# command's demo. The command is a Linux program: the one the linux preset built when its path
# is given (scripts/test.sh does), or else a native build of it made here, in a directory of its
# own, as the linux preset builds it. The Linux doctor's tests of this build use the same one.
set(HOLDOUT_LINUX_HOLDOUT "" CACHE FILEPATH
    "A Linux build of the holdout command (the linux preset's); empty: one is built here")
if(HOLDOUT_LINUX_HOLDOUT)
  set(HOLDOUT_NATIVE_TOOL ${HOLDOUT_LINUX_HOLDOUT})
else()
  include(ExternalProject)
  set(HOLDOUT_NATIVE_DIR ${CMAKE_BINARY_DIR}/native)
  set(HOLDOUT_NATIVE_TOOL ${HOLDOUT_NATIVE_DIR}/tools/holdout)
  ExternalProject_Add(holdout_native_tool
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${HOLDOUT_NATIVE_DIR}
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=RelWithDebInfo
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target holdout
    BUILD_BYPRODUCTS ${HOLDOUT_NATIVE_TOOL}
    BUILD_ALWAYS ON
    INSTALL_COMMAND "")
endif()
set(HOLDOUT_PICTURES_DIR ${CMAKE_BINARY_DIR}/pictures)
set(HOLDOUT_PACKAGE_PICTURES
  ${HOLDOUT_PICTURES_DIR}/hud.png ${HOLDOUT_PICTURES_DIR}/cover-menu.png
  ${HOLDOUT_PICTURES_DIR}/summary.png)
add_custom_command(
  OUTPUT ${HOLDOUT_PACKAGE_PICTURES}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${HOLDOUT_PICTURES_DIR}
  COMMAND ${HOLDOUT_NATIVE_TOOL} demo --pictures ${HOLDOUT_PICTURES_DIR}
          > ${CMAKE_BINARY_DIR}/pictures-demo.txt
  DEPENDS ${HOLDOUT_NATIVE_TOOL}
  COMMENT "Pictures of the plug-in's screen (holdout demo --pictures)")
add_custom_target(holdout_pictures ALL DEPENDS ${HOLDOUT_PACKAGE_PICTURES})

# doctor's verdicts on a plug-in loader under the names of system libraries, the Linux doctor's and
# holdout.exe's, held to what Wine does with a game that imports version.dll.
add_test(NAME loader_name_agrees_with_wine
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/loader_name_test.sh $<TARGET_FILE:VersionUser>
          $<TARGET_FILE:PluginLoader> ${HOLDOUT_NATIVE_TOOL} $<TARGET_FILE:holdout_exe>
          $<TARGET_FILE:Holdout> $<TARGET_FILE:ScriptHookFrontier>
          ${CMAKE_CURRENT_BINARY_DIR}/loader-names ${HOLDOUT_WINE_DIR} ${CMAKE_BINARY_DIR}/wine-prefix)
set_tests_properties(loader_name_agrees_with_wine PROPERTIES RESOURCE_LOCK wine)

# The Linux doctor on the same game folders as holdout.exe's, made of this build's libraries.
add_test(NAME holdout_doctor_on_windows_build
  COMMAND bash ${CMAKE_SOURCE_DIR}/tools/tests/doctor_folders.sh native ${HOLDOUT_NATIVE_TOOL}
          $<TARGET_FILE:Holdout> $<TARGET_FILE:ScriptHookFrontier> $<TARGET_FILE:PluginLoader>
          $<TARGET_FILE:Host>)
# Skipped when that holdout is of another commit than this build.
set_tests_properties(holdout_doctor_on_windows_build PROPERTIES SKIP_RETURN_CODE 77)

# The player's texts with CRLF line ends, as Windows editors show them.
set(HOLDOUT_PACKAGE_TEXTS_DIR ${CMAKE_BINARY_DIR}/package-texts)
set(HOLDOUT_PACKAGE_TEXTS)
foreach(text Holdout.ini PLAYERS-GUIDE.txt)
  add_custom_command(
    OUTPUT ${HOLDOUT_PACKAGE_TEXTS_DIR}/${text}
    COMMAND ${CMAKE_COMMAND} -DIN=${CMAKE_SOURCE_DIR}/package/${text}
            -DOUT=${HOLDOUT_PACKAGE_TEXTS_DIR}/${text} -P ${CMAKE_CURRENT_SOURCE_DIR}/crlf.cmake
    DEPENDS ${CMAKE_SOURCE_DIR}/package/${text} ${CMAKE_CURRENT_SOURCE_DIR}/crlf.cmake
    COMMENT "${text} with CRLF line ends")
  list(APPEND HOLDOUT_PACKAGE_TEXTS ${HOLDOUT_PACKAGE_TEXTS_DIR}/${text})
endforeach()
add_custom_target(holdout_package_texts ALL DEPENDS ${HOLDOUT_PACKAGE_TEXTS})

# The player package: Holdout.asi, the commented Holdout.ini at its defaults, the player's guide
# and its pictures, and holdout.exe, zipped with SHA256SUMS.txt, the same bytes for every build
# of one commit (win/package_zip.cmake); built with everything, or alone by
# `cmake --build --preset windows --target package`. `cmake --install` lays the same files out
# as a game folder holds them.
install(FILES $<TARGET_FILE:Holdout> ${HOLDOUT_PACKAGE_TEXTS} DESTINATION .)
install(FILES ${HOLDOUT_PACKAGE_PICTURES} DESTINATION .)
install(PROGRAMS $<TARGET_FILE:holdout_exe> DESTINATION .)
find_program(HOLDOUT_ZIP NAMES zip REQUIRED)
set(HOLDOUT_PACKAGE_ZIP ${CMAKE_BINARY_DIR}/Holdout-${PROJECT_VERSION}-win64.zip)
set(package_files $<TARGET_FILE:Holdout> ${HOLDOUT_PACKAGE_TEXTS} ${HOLDOUT_PACKAGE_PICTURES})
add_custom_command(
  OUTPUT ${HOLDOUT_PACKAGE_ZIP}
  COMMAND ${CMAKE_COMMAND} -DZIP=${HOLDOUT_ZIP} -DOUT=${HOLDOUT_PACKAGE_ZIP}
          -DSTAGE=${CMAKE_BINARY_DIR}/package-files -DEPOCH_FILE=${HOLDOUT_SOURCE_DATE_FILE}
          "-DFILES=${package_files}" -DPROGRAMS=$<TARGET_FILE:holdout_exe>
          -P ${CMAKE_CURRENT_SOURCE_DIR}/package_zip.cmake
  DEPENDS Holdout holdout_exe ${package_files} $<TARGET_FILE:holdout_exe>
          ${HOLDOUT_SOURCE_DATE_FILE} ${CMAKE_CURRENT_SOURCE_DIR}/package_zip.cmake
  COMMENT "The player package ${HOLDOUT_PACKAGE_ZIP}"
  VERBATIM)
add_custom_target(package ALL DEPENDS ${HOLDOUT_PACKAGE_ZIP})
add_dependencies(package holdout_build_identity)

add_test(NAME holdout_player_package
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/package_test.sh ${HOLDOUT_PACKAGE_ZIP}
          ${CMAKE_SOURCE_DIR}/package ${HOLDOUT_OBJDUMP})

# Two builds of the package from this commit, in two folders at two times, are the same bytes.
# It builds only the package's targets, twice, and takes a few minutes.
add_test(NAME holdout_package_is_reproducible
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/reproducible_package_test.sh ${CMAKE_SOURCE_DIR}
          ${HOLDOUT_NATIVE_TOOL})
set_tests_properties(holdout_package_is_reproducible PROPERTIES TIMEOUT 3600 SKIP_RETURN_CODE 77)
