# The binding to the script host, and the plug-in built through it.
# The script host's nine functions: win/ScriptHookFrontier.def pairs the GCC symbol of each
# declaration in src/runtime/host.h with the MSVC-decorated name the host exports. From it come
# the import library Holdout.asi links against (it imports the exported names), the stand-in
# host's export list (the exported names only), and, for the negative binding test, an import
# library that names the GCC symbols as today's mistake would.
set(HOLDOUT_HOST_DEF ${CMAKE_CURRENT_SOURCE_DIR}/ScriptHookFrontier.def)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${HOLDOUT_HOST_DEF})
file(STRINGS ${HOLDOUT_HOST_DEF} host_bindings REGEX "^[ \t]*[^; \t]+[ \t]*==")
set(stand_in_exports "EXPORTS\n")
set(gcc_symbol_imports "LIBRARY ScriptHookFrontier.dll\nEXPORTS\n")
set(host_gcc_symbols "")
foreach(binding IN LISTS host_bindings)
  string(REGEX MATCH "^[ \t]*([^ \t]+)[ \t]*==[ \t]*([^ \t]+)" matched "${binding}")
  string(APPEND stand_in_exports "  ${CMAKE_MATCH_2} = ${CMAKE_MATCH_1}\n")
  string(APPEND gcc_symbol_imports "  ${CMAKE_MATCH_1}\n")
  list(APPEND host_gcc_symbols ${CMAKE_MATCH_1})
endforeach()
list(LENGTH host_gcc_symbols host_function_count)
if(NOT host_function_count EQUAL 9)
  message(FATAL_ERROR "${HOLDOUT_HOST_DEF} binds ${host_function_count} host functions, not nine")
endif()
set(HOLDOUT_STAND_IN_DEF ${CMAKE_CURRENT_BINARY_DIR}/ScriptHookFrontier_exports.def)
set(HOLDOUT_GCC_SYMBOLS_DEF ${CMAKE_CURRENT_BINARY_DIR}/ScriptHookFrontier_gcc_symbols.def)
file(WRITE ${HOLDOUT_STAND_IN_DEF} "${stand_in_exports}")
file(WRITE ${HOLDOUT_GCC_SYMBOLS_DEF} "${gcc_symbol_imports}")

# dlltool names the library's symbols after the path it writes to: given by its name alone from
# the folder it lies in, that path, and with it the plug-in's symbols, is the same in every build
# folder.
function(holdout_import_library target def_file library)
  get_filename_component(library_folder ${library} DIRECTORY)
  get_filename_component(library_name ${library} NAME)
  add_custom_command(
    OUTPUT ${library}
    COMMAND ${HOLDOUT_DLLTOOL} --input-def ${def_file} --dllname ScriptHookFrontier.dll
            --output-lib ${library_name}
    WORKING_DIRECTORY ${library_folder}
    DEPENDS ${def_file}
    COMMENT "Import library ${target}")
  add_custom_target(${target} DEPENDS ${library})
endfunction()
set(HOLDOUT_HOST_IMPORTS ${CMAKE_CURRENT_BINARY_DIR}/libScriptHookFrontier_imports.a)
holdout_import_library(holdout_host_imports ${HOLDOUT_HOST_DEF} ${HOLDOUT_HOST_IMPORTS})
set(HOLDOUT_GCC_SYMBOL_IMPORTS ${CMAKE_CURRENT_BINARY_DIR}/libScriptHookFrontier_gcc_symbols.a)
holdout_import_library(holdout_gcc_symbol_imports ${HOLDOUT_GCC_SYMBOLS_DEF}
                       ${HOLDOUT_GCC_SYMBOL_IMPORTS})

# The plug-in. Games load script plug-ins through a plug-in loader that loads every file of the
# game's folder ending in ".asi", so that is the plug-in's name: an ordinary DLL otherwise.
# -static folds the C++ runtime and libgcc in, so that it imports only from KERNEL32, msvcrt
# and the script host; its runtime is the Win32-threads flavour's (players_runtime.cmake). Its own allocation functions take small blocks from its
# small-block heap.
add_library(Holdout SHARED ${HOLDOUT_PLUGIN_SOURCES} ${HOLDOUT_SMALL_BLOCK_SOURCES}
                           ${HOLDOUT_PLUGIN_ALLOCATION_SOURCES})
set_target_properties(Holdout PROPERTIES PREFIX "" OUTPUT_NAME Holdout SUFFIX .asi)
target_include_directories(Holdout PRIVATE ${CMAKE_SOURCE_DIR}/src
                                           ${CMAKE_SOURCE_DIR}/src/platform/windows)
add_dependencies(Holdout holdout_host_imports)
target_link_libraries(Holdout PRIVATE ${HOLDOUT_HOST_IMPORTS})
target_link_options(Holdout PRIVATE -static)
holdout_split_debug_information(Holdout)

add_test(NAME holdout_asi_imports
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/check_imports.sh ${HOLDOUT_OBJDUMP}
          $<TARGET_FILE:Holdout>)

# The host's names as Microsoft's compiler decorates the declarations of host.h, from clang's
# MSVC mangler, against Holdout.asi's imports, the stand-in's exports and the .def file.
find_program(HOLDOUT_CLANG NAMES clang++ clang++-14 REQUIRED)
find_program(HOLDOUT_LLVM_NM NAMES llvm-nm llvm-nm-14 HINTS /usr/lib/llvm-14/bin REQUIRED)
find_program(HOLDOUT_LLVM_UNDNAME NAMES llvm-undname llvm-undname-14 HINTS /usr/lib/llvm-14/bin
             REQUIRED)
add_test(NAME host_import_names
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/host_names_test.sh
          ${HOLDOUT_CLANG} ${HOLDOUT_LLVM_NM} ${HOLDOUT_LLVM_UNDNAME} ${HOLDOUT_OBJDUMP}
          ${CMAKE_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR}/tests/msvc_types ${HOLDOUT_HOST_DEF}
          $<TARGET_FILE:Holdout> $<TARGET_FILE:ScriptHookFrontier> ${CMAKE_CURRENT_BINARY_DIR})

# Two plug-ins reduced to their binding: one linked through the host's import library, one
# through the GCC symbols. Host.exe must load the first and refuse the second.
foreach(binding IN ITEMS host gcc_symbol)
  add_library(binding_${binding} SHARED binding/binding_probe.cpp)
  set_target_properties(binding_${binding} PROPERTIES PREFIX "" OUTPUT_NAME BindingProbe_${binding}
                                                      SUFFIX .asi)
  target_include_directories(binding_${binding} PRIVATE ${CMAKE_SOURCE_DIR}/src
                                                        ${CMAKE_SOURCE_DIR}/src/platform/windows)
  add_dependencies(binding_${binding} holdout_${binding}_imports)
  target_link_options(binding_${binding} PRIVATE -static)
endforeach()
target_link_libraries(binding_host PRIVATE ${HOLDOUT_HOST_IMPORTS})
target_link_libraries(binding_gcc_symbol PRIVATE ${HOLDOUT_GCC_SYMBOL_IMPORTS})
