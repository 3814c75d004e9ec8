# windows_tests.exe: unit tests of the Windows side of the platform seams, run under Wine (see
# scripts/ci-windows.sh). GoogleTest is built from its sources with the same toolchain; Debian's
# googletest package puts them in /usr/src/googletest.
set(MARQUILL_GOOGLETEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest's source folder")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory("${MARQUILL_GOOGLETEST_SOURCE}" googletest EXCLUDE_FROM_ALL SYSTEM)

file(GLOB windows_test_sources CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/tests/windows/*.cc")
add_executable(windows_tests ${windows_test_sources})
target_include_directories(windows_tests PRIVATE "${PROJECT_SOURCE_DIR}/tests")
target_link_libraries(windows_tests PRIVATE marquill_shell marquill_warnings gtest_main)
