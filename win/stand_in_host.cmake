# The stand-in script host, its plug-in loader and the program that stands in for the game, with
# the test that runs the real plug-in through them under Wine.
# The stand-in script host: the simulated host and game with fibers for the script context. As
# the real host, it exports the nine host functions under their MSVC names and not under the
# GCC symbols that define them; for Host.exe it exports everything else it defines.
add_library(ScriptHookFrontier SHARED ${HOLDOUT_SIM_HOST_SOURCES} ${HOLDOUT_SIM_GAME_SOURCES}
                                      ${HOLDOUT_PROFILE_READER_SOURCES}
                                      ${HOLDOUT_SEAM_WINDOWS_SOURCES} ${HOLDOUT_STAND_IN_DEF})
set_target_properties(ScriptHookFrontier PROPERTIES PREFIX "" OUTPUT_NAME ScriptHookFrontier)
target_include_directories(ScriptHookFrontier PUBLIC ${CMAKE_SOURCE_DIR}/sim ${CMAKE_SOURCE_DIR}/src
                                                     ${CMAKE_SOURCE_DIR}/src/platform/windows)
target_compile_definitions(ScriptHookFrontier PRIVATE "HOLDOUT_HOST_API=")
target_compile_options(ScriptHookFrontier PRIVATE -include
                       ${CMAKE_SOURCE_DIR}/sim/windows/win32_prelude.h)
list(JOIN host_gcc_symbols "," host_gcc_symbol_list)
target_link_options(ScriptHookFrontier PRIVATE -static -Wl,--export-all-symbols,--exclude-libs,ALL
                    "SHELL:-Xlinker --exclude-symbols -Xlinker ${host_gcc_symbol_list}")

# The stand-in plug-in loader, under the name of a system library the game loads.
add_library(PluginLoader SHARED loader/plugin_loader.cpp loader/plugin_loader.def)
set_target_properties(PluginLoader PROPERTIES PREFIX "" OUTPUT_NAME dinput8)
target_link_options(PluginLoader PRIVATE -static)

# A stand-in for a game that imports version.dll and calls it as it starts (package.cmake's
# loader_name_agrees_with_wine runs it).
add_executable(VersionUser loader/version_user.cpp)
target_link_libraries(VersionUser PRIVATE version)
target_link_options(VersionUser PRIVATE -static)

# The stand-in game: starts the stand-in host and the plug-in loader, and runs frames.
add_executable(Host host/host_main.cpp host/import_patch.cpp host/options.cpp)
target_compile_options(Host PRIVATE -include ${CMAKE_SOURCE_DIR}/sim/windows/win32_prelude.h)
target_link_libraries(Host PRIVATE ScriptHookFrontier)
target_link_options(Host PRIVATE -static)
add_dependencies(Host Holdout PluginLoader binding_host binding_gcc_symbol)

add_test(NAME holdout_under_wine
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/wine_host_test.sh ${CMAKE_BINARY_DIR}
          ${CMAKE_CURRENT_BINARY_DIR}/bin ${HOLDOUT_WINE_DIR} ${CMAKE_BINARY_DIR}/wine-prefix)
# Wine tests share one prefix and wineserver: never two at once.
set_tests_properties(holdout_under_wine PROPERTIES RESOURCE_LOCK wine)

# The log's fallback with the real plug-in: a game folder that refuses Holdout.log, and then a
# fallback that refuses too.
add_test(NAME holdout_log_fallback_under_wine
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/log_fallback_test.sh ${CMAKE_BINARY_DIR}
          ${CMAKE_CURRENT_BINARY_DIR}/bin ${HOLDOUT_WINE_DIR} ${CMAKE_BINARY_DIR}/wine-prefix)
set_tests_properties(holdout_log_fallback_under_wine PROPERTIES RESOURCE_LOCK wine)
