// Starting programs the way the shell does, without a shell.
//
// ShellExecuteA takes its texts in code page 932. It splits the parameters by
// the Windows command-line rules (SplitCommandLine) and hands the request to
// the process starter in force (ProcessStarter.h): the host starter runs the
// program detached, with the inherited environment, never through /bin/sh.
// Program names: "regsvr32" is our registration tool; the program's own file
// name "Velmorastine II.exe" starts the program's own executable; any other
// name is a Windows path (a bare name is found in the current directory).
//
// The result is a code in a HINSTANCE, as on Windows: above 32 on success;
// 0 out of resources, 2 file not found, 3 path not found, 5 access denied,
// 8 out of memory, 11 bad format, 31 no program for the operation.
// Take it as a number with ShellExecuteResult().
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/Types.h"

namespace win {

inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOW = 5;

inline constexpr int SE_ERR_OOM = 0; // also "no resources"
inline constexpr int SE_ERR_FNF = 2;
inline constexpr int SE_ERR_PNF = 3;
inline constexpr int SE_ERR_ACCESSDENIED = 5;
inline constexpr int SE_ERR_NOMEMORY = 8;
inline constexpr int SE_ERR_BADFORMAT = 11;
inline constexpr int SE_ERR_NOASSOC = 31;
inline constexpr int SE_RESULT_STARTED = 42; // what a successful start returns

// `operation` null, "" or "open"; `directory` null or "" keeps the current one;
// `showCommand` and `owner` have no effect here.
HINSTANCE ShellExecuteA(HWND owner, const char* operation, const char* file, const char* parameters,
                        const char* directory, int showCommand);

// The shell's test for administrator rights: nonzero when the machine hive of
// the registry store can be written (declared with the store in RegistryStore.h).
BOOL IsUserAnAdmin();

inline int ShellExecuteResult(HINSTANCE result) { return static_cast<int>(reinterpret_cast<std::intptr_t>(result)); }

// The arguments of a command line by the rules of the Windows C runtime:
// blanks and tabs separate outside quotes; 2n backslashes before a quote give
// n backslashes and the quote opens or closes quoting; 2n+1 give n and a
// literal quote; other backslashes are literal; inside quotes "" is one
// literal quote.
std::vector<std::u16string> SplitCommandLine(std::u16string_view line);

} // namespace win
