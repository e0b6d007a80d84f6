# Every component's source list, once; each target of every build (Linux, Windows, fuzzing)
# reads its sources from here. Folders that are one component each are globbed, so a new file
# joins its component by being put in the folder; the tools share a folder and are listed.
set(HOLDOUT_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)
cmake_path(NORMAL_PATH HOLDOUT_ROOT)

# The plug-in: the four subsystems. Its settings code is also a list of its own: check-ini reads
# a player's file with it.
file(GLOB HOLDOUT_PLUGIN_SETTINGS_SOURCES CONFIGURE_DEPENDS ${HOLDOUT_ROOT}/src/settings/*.cpp)
file(GLOB HOLDOUT_PLUGIN_SOURCES CONFIGURE_DEPENDS
  ${HOLDOUT_ROOT}/src/runtime/*.cpp
  ${HOLDOUT_ROOT}/src/survival/*.cpp
  ${HOLDOUT_ROOT}/src/spawner/*.cpp)
list(APPEND HOLDOUT_PLUGIN_SOURCES ${HOLDOUT_PLUGIN_SETTINGS_SOURCES})

# The read-only view of the plug-in's records, for what watches it run (the tools, benchmarks
# and tests); not part of the plug-in. Its headers are included as observers/...
file(GLOB HOLDOUT_OBSERVER_SOURCES CONFIGURE_DEPENDS ${HOLDOUT_ROOT}/observers/*.cpp)

# The settings-file reader that answers the profile functions from a file's text as Windows
# does: the simulated host's profile functions and check-ini both read with it.
set(HOLDOUT_PROFILE_READER_SOURCES
  ${HOLDOUT_ROOT}/sim/core/profile_reader.cpp
  ${HOLDOUT_ROOT}/sim/core/profile_text.cpp)

# The plug-in's small-block heap: Holdout.asi's own allocation functions take memory from it,
# and so do the Windows programs that run the plug-in in the simulated host.
set(HOLDOUT_SMALL_BLOCK_SOURCES ${HOLDOUT_ROOT}/src/platform/small_blocks.cpp)
set(HOLDOUT_PLUGIN_ALLOCATION_SOURCES ${HOLDOUT_ROOT}/src/platform/windows/allocation_functions.cpp)

# The program's allocation functions that let the fault injector fail the plug-in's
# allocations: built into each program that runs the plug-in in the simulated host (on Linux and
# on Windows), not into a library or the stand-in host's DLL, so that they replace the standard
# library's.
set(HOLDOUT_ALLOCATION_FAULT_SOURCES ${HOLDOUT_ROOT}/sim/core/allocation_failures.cpp)

# The simulated host: script context, native table and contracts, recorders, fault injection.
file(GLOB HOLDOUT_SIM_HOST_SOURCES CONFIGURE_DEPENDS ${HOLDOUT_ROOT}/sim/core/*.cpp)
list(REMOVE_ITEM HOLDOUT_SIM_HOST_SOURCES ${HOLDOUT_PROFILE_READER_SOURCES}
     ${HOLDOUT_ALLOCATION_FAULT_SOURCES})

# The simulated game: the world and its natives.
file(GLOB HOLDOUT_SIM_GAME_SOURCES CONFIGURE_DEPENDS ${HOLDOUT_ROOT}/sim/game/*.cpp)

# The seam as the simulated host provides it: the Win32 functions the plug-in calls, answered by
# the simulated host wherever the plug-in is linked into it; the script context on Linux; the
# fiber script context on Windows.
file(GLOB HOLDOUT_SIM_WIN32_SOURCES CONFIGURE_DEPENDS ${HOLDOUT_ROOT}/sim/win32/*.cpp)
# A Windows program that runs the plug-in in the simulated host keeps the system's file
# functions, which the C++ runtime calls too: the simulated ones stay out.
set(HOLDOUT_SIM_WIN32_WINDOWS_SOURCES ${HOLDOUT_SIM_WIN32_SOURCES})
list(FILTER HOLDOUT_SIM_WIN32_WINDOWS_SOURCES EXCLUDE REGEX "/file_functions\\.cpp$")
file(GLOB HOLDOUT_SEAM_LINUX_SOURCES CONFIGURE_DEPENDS ${HOLDOUT_ROOT}/sim/linux/*.cpp)
file(GLOB HOLDOUT_SEAM_WINDOWS_SOURCES CONFIGURE_DEPENDS ${HOLDOUT_ROOT}/sim/windows/*.cpp)
# Where a Windows program's allocation functions take memory: the plug-in's small-block heap,
# as in Holdout.asi. (A Linux program's memory source, malloc, is among the Linux seam's files.)
set(HOLDOUT_MEMORY_SOURCE_WINDOWS_SOURCES ${HOLDOUT_ROOT}/sim/windows/memory_from_small_blocks.cpp)
list(REMOVE_ITEM HOLDOUT_SEAM_WINDOWS_SOURCES ${HOLDOUT_MEMORY_SOURCE_WINDOWS_SOURCES})
list(APPEND HOLDOUT_MEMORY_SOURCE_WINDOWS_SOURCES ${HOLDOUT_SMALL_BLOCK_SOURCES})

# The player's tools: what holdout.exe carries (check-ini, doctor) besides the command itself.
set(HOLDOUT_PLAYER_TOOL_SOURCES
  ${HOLDOUT_ROOT}/tools/arguments.cpp
  ${HOLDOUT_ROOT}/tools/check_ini.cpp
  ${HOLDOUT_ROOT}/tools/commands.cpp
  ${HOLDOUT_ROOT}/tools/doctor.cpp
  ${HOLDOUT_ROOT}/tools/doctor_places.cpp
  ${HOLDOUT_ROOT}/tools/export_binding.cpp
  ${HOLDOUT_ROOT}/tools/folder_listing.cpp
  ${HOLDOUT_ROOT}/tools/ini_lines.cpp
  ${HOLDOUT_ROOT}/tools/ini_numbers.cpp
  ${HOLDOUT_ROOT}/tools/key_names.cpp
  ${HOLDOUT_ROOT}/tools/library_checks.cpp
  ${HOLDOUT_ROOT}/tools/library_files.cpp
  ${HOLDOUT_ROOT}/tools/msvc_names.cpp
  ${HOLDOUT_ROOT}/tools/pe_exports.cpp
  ${HOLDOUT_ROOT}/tools/pe_image.cpp
  ${HOLDOUT_ROOT}/tools/pe_layout.cpp)

# The developer's tools, which run the plug-in in the simulated game: demo, play, soak and the
# pictures. The soak alone, which the Windows build also has, is a list too.
set(HOLDOUT_SOAK_TOOL_SOURCES
  ${HOLDOUT_ROOT}/tools/player_outcomes.cpp
  ${HOLDOUT_ROOT}/tools/session_invariants.cpp
  ${HOLDOUT_ROOT}/tools/soak.cpp
  ${HOLDOUT_ROOT}/tools/tool_session.cpp)
set(HOLDOUT_DEVELOPER_TOOL_SOURCES
  ${HOLDOUT_ROOT}/tools/canvas.cpp
  ${HOLDOUT_ROOT}/tools/demo.cpp
  ${HOLDOUT_ROOT}/tools/picture_font.cpp
  ${HOLDOUT_ROOT}/tools/play.cpp
  ${HOLDOUT_ROOT}/tools/screen_picture.cpp
  ${HOLDOUT_ROOT}/tools/terminal_keys.cpp
  ${HOLDOUT_ROOT}/tools/views.cpp
  ${HOLDOUT_SOAK_TOOL_SOURCES})

# The benchmarks of the plug-in's frames, with the test support's allocation counter, built for
# Linux and, on request, for Windows.
file(GLOB HOLDOUT_BENCH_SOURCES CONFIGURE_DEPENDS ${HOLDOUT_ROOT}/bench/*_bench.cpp)
list(APPEND HOLDOUT_BENCH_SOURCES ${HOLDOUT_ROOT}/bench/plugin_states.cpp
     ${HOLDOUT_ROOT}/tests/support/allocation_counter.cpp)
# The program the instruction check counts the frames of, in the same states.
set(HOLDOUT_INSTRUCTION_SOURCES ${HOLDOUT_ROOT}/bench/frame_instructions.cpp
    ${HOLDOUT_ROOT}/bench/plugin_states.cpp)

# What each platform does its own way in the tools.
file(GLOB HOLDOUT_TOOL_POSIX_SOURCES CONFIGURE_DEPENDS ${HOLDOUT_ROOT}/tools/posix/*.cpp)
file(GLOB HOLDOUT_TOOL_WINDOWS_SOURCES CONFIGURE_DEPENDS ${HOLDOUT_ROOT}/tools/windows/*.cpp)

# Every tool source must be in one list above: a file left out would silently not be built.
file(GLOB holdout_tool_files CONFIGURE_DEPENDS ${HOLDOUT_ROOT}/tools/*.cpp)
list(REMOVE_ITEM holdout_tool_files ${HOLDOUT_ROOT}/tools/main.cpp ${HOLDOUT_PLAYER_TOOL_SOURCES}
     ${HOLDOUT_DEVELOPER_TOOL_SOURCES})
if(holdout_tool_files)
  message(FATAL_ERROR "tools sources in no list of cmake/sources.cmake: ${holdout_tool_files}")
endif()
