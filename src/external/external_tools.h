// Server registration and the IDE's add-in list: the regsvr32 command lines and the place and
// checks of the files the "&Logs && External" tab works on. Programs are started and files are
// read by the caller, through the platform it runs on.
#pragma once

#include <string>
#include <string_view>

namespace marquill::external {

inline constexpr std::string_view kServerDialogTitle = "Select control or component";
inline constexpr std::string_view kServerDialogFilter =
    "Custom controls (OCX)|*.ocx|ActiveX Dll|*.dll|ActiveX Exe|*.exe|All files|*.*";

// The command line that registers (or with `unregister` unregisters) `server_file`: the system
// folder (ending in the path separator), "regsvr32.exe ", "/u " when unregistering, then the
// file in double quotes, so a path with blanks stays one argument.
std::string RegistrationCommandLine(std::string_view system_folder, std::string_view server_file,
                                    bool unregister);

// Why `server_file` cannot be registered, "" when it can: it must exist, and it cannot hold a
// double quote, which would end the quoted argument early.
std::string ServerFileProblem(std::string_view server_file);

// The add-in list in the Windows folder `windir` (given with or without a final separator).
std::string AddinListPath(std::string_view windir);

}  // namespace marquill::external
