# holdout_bench.exe: the frame benchmarks built for Windows, so that the plug-in's frames are
# timed under Wine with the Windows C runtime and its heap, as the game runs them; not shipped,
# and built only with HOLDOUT_WINE_BENCH (scripts/wine_bench.sh configures, builds and runs it).
# Google Benchmark comes as Debian's source package, built here by the same cross compiler.
set(HOLDOUT_BENCHMARK_SOURCE "" CACHE PATH "Google Benchmark's source tree")
set(HOLDOUT_BENCHMARK_VERSION "" CACHE STRING "Its version, which its build takes as given")
if(NOT EXISTS ${HOLDOUT_BENCHMARK_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "HOLDOUT_BENCHMARK_SOURCE must name Google Benchmark's source tree")
endif()

include(ExternalProject)
set(holdout_benchmark_dir ${CMAKE_CURRENT_BINARY_DIR}/google-benchmark)
ExternalProject_Add(google_benchmark_windows
  SOURCE_DIR ${HOLDOUT_BENCHMARK_SOURCE}
  PREFIX ${holdout_benchmark_dir}
  INSTALL_DIR ${holdout_benchmark_dir}/install
  CMAKE_ARGS --toolchain ${CMAKE_TOOLCHAIN_FILE} -DCMAKE_BUILD_TYPE=Release
             -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR> -DGIT_VERSION=${HOLDOUT_BENCHMARK_VERSION}
             -DBENCHMARK_ENABLE_TESTING=OFF
             -DBENCHMARK_ENABLE_GTEST_TESTS=OFF -DBENCHMARK_ENABLE_WERROR=OFF
  BUILD_BYPRODUCTS <INSTALL_DIR>/lib/libbenchmark.a <INSTALL_DIR>/lib/libbenchmark_main.a)

holdout_simulated_windows_program(holdout_bench_exe ${HOLDOUT_BENCH_SOURCES}
                                   ${HOLDOUT_ALLOCATION_FAULT_SOURCES})
set_target_properties(holdout_bench_exe PROPERTIES OUTPUT_NAME holdout_bench)
add_dependencies(holdout_bench_exe google_benchmark_windows)
target_include_directories(holdout_bench_exe PRIVATE ${holdout_benchmark_dir}/install/include
                                                     ${CMAKE_SOURCE_DIR}/tests)
target_compile_definitions(holdout_bench_exe PRIVATE BENCHMARK_STATIC_DEFINE)
target_link_libraries(holdout_bench_exe PRIVATE
  ${holdout_benchmark_dir}/install/lib/libbenchmark_main.a
  ${holdout_benchmark_dir}/install/lib/libbenchmark.a shlwapi)
