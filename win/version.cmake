# The version resources of what players get: Holdout.asi and holdout.exe carry the project's
# version (project(VERSION) in the top CMakeLists.txt) and the commit they were built from
# (the header cmake/build_identity.cmake writes, which the resource includes and which is
# compiled again only when it changes), compiled by windres from win/version.rc.in; a test reads
# both back from each built file.
enable_language(RC)

function(holdout_version_resource target file_name file_type description)
  set(holdout_file_name ${file_name})
  set(holdout_file_type ${file_type})
  set(holdout_description ${description})
  set(resource ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/version.rc.in ${resource} @ONLY)
  target_sources(${target} PRIVATE ${resource})
  set_source_files_properties(${resource} TARGET_DIRECTORY ${target}
                              PROPERTIES OBJECT_DEPENDS ${HOLDOUT_SOURCE_COMMIT_HEADER})
  add_dependencies(${target} holdout_build_identity)
endfunction()

holdout_version_resource(Holdout Holdout.asi VFT_DLL "Holdout script plug-in")
holdout_version_resource(holdout_exe holdout.exe VFT_APP "Holdout checks for players")

find_program(HOLDOUT_LLVM_READOBJ NAMES llvm-readobj llvm-readobj-14 HINTS /usr/lib/llvm-14/bin
             REQUIRED)
add_test(NAME windows_version_resources
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/version_resource_test.sh ${HOLDOUT_LLVM_READOBJ}
          ${PROJECT_VERSION} ${HOLDOUT_SOURCE_COMMIT_HEADER} ${HOLDOUT_WINE_DIR}
          ${CMAKE_BINARY_DIR}/wine-prefix
          $<TARGET_FILE:Holdout> $<TARGET_FILE:holdout_exe>)
set_tests_properties(windows_version_resources PROPERTIES RESOURCE_LOCK wine)
