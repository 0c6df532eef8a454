// Log lines written by the test stand-ins (shutdown.exe, recorder.exe, backdrop.exe): one line per
// event, led by a millisecond local timestamp, appended so that concurrent writers never clobber.
#pragma once

#include <string>

namespace velmora {

// "2026-12-06 19:30:05.012" from the local wall clock.
std::wstring LocalTimestamp();

// The file named by the environment variable envName, or else defaultName beside the running exe.
std::wstring LogPath(const wchar_t* envName, const wchar_t* defaultName);

// The running exe's full path (GetModuleFileNameW).
std::wstring ModulePath();

// Appends "<timestamp>\t<text>\r\n" as UTF-8 to path; tabs and line breaks in text are kept as they
// are. Returns false if the file could not be written after a few tries.
bool AppendLogLine(const std::wstring& path, const std::wstring& text);

}  // namespace velmora
