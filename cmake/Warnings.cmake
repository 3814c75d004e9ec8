# One place for the warning flags every target of ours builds with.
add_library(marquill_warnings INTERFACE)
target_compile_options(marquill_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow
                       -Wnon-virtual-dtor -Wconversion-null)
# GCC 12 reports false -Wrestrict positives on short string concatenations at -O3.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(marquill_warnings INTERFACE -Wno-restrict)
endif()
if(MARQUILL_WERROR)
  target_compile_options(marquill_warnings INTERFACE -Werror)
endif()

# Files named *_win.cc hold the Windows side of a platform seam and *_posix.cc its other side:
# each build takes its own.
macro(marquill_platform_sources list_name)
  if(WIN32)
    list(FILTER ${list_name} EXCLUDE REGEX "_posix\\.cc$")
  else()
    list(FILTER ${list_name} EXCLUDE REGEX "_win\\.cc$")
  endif()
endmacro()

# A layer library: every .cc below the folder, public headers rooted at src/.
function(marquill_layer name folder)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${folder}/*.cc")
  marquill_platform_sources(sources)
  add_library(${name} STATIC ${sources} "${PROJECT_SOURCE_DIR}/cmake/empty.cc")
  target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
  target_link_libraries(${name} PRIVATE marquill_warnings)
endfunction()

# A test executable of one layer: every .cc below the folder.
function(marquill_tests name folder)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${folder}/*.cc")
  marquill_platform_sources(sources)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}/tests")
  target_link_libraries(${name} PRIVATE marquill_warnings GTest::gtest GTest::gtest_main
                        GTest::gmock ${ARGN})
  target_compile_definitions(${name} PRIVATE
    MARQUILL_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    MARQUILL_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
endfunction()
