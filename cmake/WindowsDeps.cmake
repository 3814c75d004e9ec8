# What the Windows build links, made from sources rather than found installed:
#   MARQUILL_SQLITE_SOURCE  a folder holding SQLite's amalgamation (sqlite3.c and sqlite3.h)
#   MARQUILL_CLI11_INCLUDE  a folder holding CLI11's headers (CLI/CLI.hpp)
# scripts/build-windows.sh fills both from packages and passes them in.
set(MARQUILL_SQLITE_SOURCE "" CACHE PATH "Folder with sqlite3.c and sqlite3.h")
set(MARQUILL_CLI11_INCLUDE "" CACHE PATH "Folder with CLI/CLI.hpp")
if(NOT EXISTS "${MARQUILL_SQLITE_SOURCE}/sqlite3.c")
  message(FATAL_ERROR "MARQUILL_SQLITE_SOURCE must name a folder with sqlite3.c")
endif()
if(NOT EXISTS "${MARQUILL_CLI11_INCLUDE}/CLI/CLI.hpp")
  message(FATAL_ERROR "MARQUILL_CLI11_INCLUDE must name a folder with CLI/CLI.hpp")
endif()

enable_language(C)
add_library(marquill_sqlite3 STATIC "${MARQUILL_SQLITE_SOURCE}/sqlite3.c")
target_include_directories(marquill_sqlite3 SYSTEM PUBLIC "${MARQUILL_SQLITE_SOURCE}")
target_compile_definitions(marquill_sqlite3 PRIVATE SQLITE_THREADSAFE=1 SQLITE_OMIT_LOAD_EXTENSION
                           SQLITE_DQS=0 SQLITE_DEFAULT_FOREIGN_KEYS=0)
add_library(SQLite::SQLite3 ALIAS marquill_sqlite3)

add_library(marquill_cli11 INTERFACE)
target_include_directories(marquill_cli11 SYSTEM INTERFACE "${MARQUILL_CLI11_INCLUDE}")
add_library(CLI11::CLI11 ALIAS marquill_cli11)

# The POSIX calls of the file and console code get their Windows meaning (see the header), and
# the program runs statically linked, needing no DLL beside it.
set(marquill_win_include "${PROJECT_SOURCE_DIR}/src/host/platform/win_include")
add_compile_options("$<$<COMPILE_LANGUAGE:CXX>:SHELL:-include ${PROJECT_SOURCE_DIR}/src/host/platform/posix_on_windows.h>")
include_directories(SYSTEM "${marquill_win_include}")
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 _POSIX_THREAD_SAFE_FUNCTIONS)
add_link_options(-static)
link_libraries(kernel32 shell32 advapi32)
