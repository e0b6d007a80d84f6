# What players get, Holdout.asi and holdout.exe, with the Win32-threads flavour of mingw-w64's
# runtime, and the checks that keep them lean.
#
# The POSIX-threads flavour that builds the rest of the Windows build links winpthread into every
# program, and with it imports of thread suspension, thread contexts, process opening, handle
# duplication and process affinity that neither binary calls: in a DLL loaded into a game they
# look like an injector's to the antivirus models that read import tables. The Win32-threads
# flavour of the same GCC 12 brings none of them, but has no std::thread or std::mutex, which the
# simulated host, the Windows soak and the Wine benchmarks need. So only these two targets are
# compiled and linked by it, through a launcher that puts its driver in place of the toolchain's
# compiler; the flags, the standard library's headers aside, are the same. A second configured
# build would make every test, the package and the version resources refer to targets of
# another tree.
find_program(HOLDOUT_WIN32_THREADS_CXX NAMES x86_64-w64-mingw32-g++-win32 REQUIRED)
set(HOLDOUT_WIN32_THREADS_LAUNCHER sh ${CMAKE_CURRENT_LIST_DIR}/win32_threads_driver.sh
    ${HOLDOUT_WIN32_THREADS_CXX})
foreach(target IN ITEMS Holdout holdout_exe)
  set_target_properties(${target} PROPERTIES
    CXX_COMPILER_LAUNCHER "${HOLDOUT_WIN32_THREADS_LAUNCHER}"
    CXX_LINKER_LAUNCHER "${HOLDOUT_WIN32_THREADS_LAUNCHER}")
endforeach()

# The imports each may have and the size it may reach: a new import, or growth past the line,
# is a choice made on purpose by moving the list or the line.
set(HOLDOUT_PE_IMPORTS ${CMAKE_CURRENT_BINARY_DIR}/pe_imports)
holdout_native_program(${HOLDOUT_PE_IMPORTS}
  FLAGS -std=c++20 -O1 -Wall -Wextra -Werror -I${CMAKE_SOURCE_DIR}/tools
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/pe_imports.cpp ${HOLDOUT_BINARY_READER_SOURCES}
          ${HOLDOUT_SENTENCE_SOURCES}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/binary_reader/pe_image.h
  COMMENT "The import lister (native compiler)")
add_custom_target(holdout_pe_imports ALL DEPENDS ${HOLDOUT_PE_IMPORTS})
function(holdout_lean_test name target allowed max_bytes)
  add_test(NAME ${name}
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/tests/binary_lean_test.sh ${HOLDOUT_PE_IMPORTS}
            $<TARGET_FILE:${target}> ${CMAKE_CURRENT_LIST_DIR}/tests/${allowed} ${max_bytes})
endfunction()
holdout_lean_test(holdout_asi_lean Holdout holdout_imports.allowed 409600)
holdout_lean_test(holdout_exe_lean holdout_exe holdout_exe_imports.allowed 2621440)
