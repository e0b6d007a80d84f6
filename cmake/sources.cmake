# Every component's source list, once; each target of every build (Linux, Windows, fuzzing)
# reads its sources from here. Each folder is one component or room and is globbed, so a new
# file joins its component by being put in the folder.
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
# does, a room of its own: the simulated host's profile functions and check-ini both read with it.
file(GLOB HOLDOUT_PROFILE_READER_SOURCES CONFIGURE_DEPENDS ${HOLDOUT_ROOT}/profile/*.cpp)

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
list(REMOVE_ITEM HOLDOUT_SIM_HOST_SOURCES ${HOLDOUT_ALLOCATION_FAULT_SOURCES})

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

# The tools, in rooms by who runs the code (scripts/check_layers.sh holds each room to the rooms
# below it): the binary reader of Windows libraries, on the words its sentences are made of; the
# player's commands (check-ini, doctor) and what they use; the developer's commands, which run the
# plug-in in the simulated game, with the soak in a room of its own; and on top the holdout command itself (its command table here,
# its entry point and what each platform does its own way in tools/posix and tools/windows).
# Each room's platform parts lie beside it in posix/ and windows/.
file(GLOB HOLDOUT_SENTENCE_SOURCES CONFIGURE_DEPENDS ${HOLDOUT_ROOT}/tools/sentences/*.cpp)
file(GLOB HOLDOUT_BINARY_READER_SOURCES CONFIGURE_DEPENDS ${HOLDOUT_ROOT}/tools/binary_reader/*.cpp)
file(GLOB HOLDOUT_PLAYER_COMMAND_SOURCES CONFIGURE_DEPENDS ${HOLDOUT_ROOT}/tools/player/*.cpp)
file(GLOB HOLDOUT_DEVELOPER_COMMAND_SOURCES CONFIGURE_DEPENDS ${HOLDOUT_ROOT}/tools/developer/*.cpp)
file(GLOB HOLDOUT_SOAK_TOOL_SOURCES CONFIGURE_DEPENDS ${HOLDOUT_ROOT}/tools/developer/soak/*.cpp)

# What holdout.exe carries besides its entry point and platform parts: the player's commands with
# the rooms below them, and the command table.
set(HOLDOUT_PLAYER_TOOL_SOURCES ${HOLDOUT_SENTENCE_SOURCES} ${HOLDOUT_BINARY_READER_SOURCES}
    ${HOLDOUT_PLAYER_COMMAND_SOURCES} ${HOLDOUT_ROOT}/tools/commands.cpp)

# The developer's tools: demo, play and the pictures, over the soak's room (the soak, the session
# it plays and the checks it makes after every frame), which the Windows build also has alone.
set(HOLDOUT_DEVELOPER_TOOL_SOURCES ${HOLDOUT_DEVELOPER_COMMAND_SOURCES} ${HOLDOUT_SOAK_TOOL_SOURCES})

# The benchmarks of the plug-in's frames, with the test support's allocation counter, built for
# Linux and, on request, for Windows.
file(GLOB HOLDOUT_BENCH_SOURCES CONFIGURE_DEPENDS ${HOLDOUT_ROOT}/bench/*_bench.cpp)
list(APPEND HOLDOUT_BENCH_SOURCES ${HOLDOUT_ROOT}/bench/plugin_states.cpp
     ${HOLDOUT_ROOT}/tests/support/allocation_counter.cpp)
# The program the instruction check counts the frames of, in the same states.
set(HOLDOUT_INSTRUCTION_SOURCES ${HOLDOUT_ROOT}/bench/frame_instructions.cpp
    ${HOLDOUT_ROOT}/bench/plugin_states.cpp)

# What each platform does its own way in the tools: the player's commands' parts and the
# command's own.
file(GLOB HOLDOUT_TOOL_POSIX_SOURCES CONFIGURE_DEPENDS ${HOLDOUT_ROOT}/tools/player/posix/*.cpp
     ${HOLDOUT_ROOT}/tools/posix/*.cpp)
file(GLOB HOLDOUT_TOOL_WINDOWS_SOURCES CONFIGURE_DEPENDS ${HOLDOUT_ROOT}/tools/player/windows/*.cpp
     ${HOLDOUT_ROOT}/tools/windows/*.cpp)
