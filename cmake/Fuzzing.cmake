# libFuzzer builds (FUZZ=ON, clang only). Every target is instrumented for
# coverage and built with AddressSanitizer and UBSan, UB aborting so that
# libFuzzer keeps the input; marlo_add_fuzzer links libFuzzer's main into one
# program. Only the fuzz targets are meant to be built in such a tree.
if(FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "FUZZ needs clang++: configure with CXX=clang++")
  endif()
  if(ASAN OR TSAN)
    message(FATAL_ERROR "FUZZ brings its own sanitizers; leave ASAN and TSAN off")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined
                      -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# marlo_add_fuzzer(<name> SOURCES <files...> LIBS <libraries...>)
function(marlo_add_fuzzer name)
  cmake_parse_arguments(FUZZER "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${FUZZER_SOURCES})
  target_link_libraries(${name} PRIVATE ${FUZZER_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endfunction()
