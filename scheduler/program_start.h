// What the 运行 action starts: the path field's text read as a user means it (a program, perhaps
// quoted, perhaps without its extension, perhaps followed by arguments), and the cmd.exe line
// that runs it as Windows runs it from Explorer, the arguments handed on as typed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

enum class FileAnswer { kFile, kNoFile, kNotKnownYet };

// The one question the reading asks of the file system. The window's answer comes from another
// thread (a slow share must not freeze it), so it may not be known yet; the unit tests' is made up.
class FileQuery {
  public:
    virtual ~FileQuery() = default;
    // kFile when `path` names an existing file (a folder is none).
    virtual FileAnswer Ask(const std::wstring& path) = 0;
};

// A 32-bit program under WOW64 sees <windows>\SysWOW64 where it names <windows>\System32; the
// folder the user means is <windows>\Sysnative to it. `windowsFolder` is given only under WOW64
// (empty: `path` is returned as it is). Case does not matter, as in Windows' paths.
std::wstring SysnativePath(std::wstring_view path, std::wstring_view windowsFolder);

// cmd.exe takes no longer command line.
inline constexpr std::size_t kMaxCommandLine = 8191;

struct ProgramStart {
    enum class Status {
        kStart,    // run commandLine, hidden unless showConsole, in the program's folder
        kNothing,  // no program (or a line too long for cmd): asked again at the next tick
        kPending,  // an answer the reading needs is not known yet
    };
    Status status = Status::kNothing;
    std::wstring commandLine;
    std::wstring folder;       // the program's own folder, as the user names it
    bool showConsole = false;  // a script's own console, closed when the script ends
    std::wstring interpreter;  // the cmd.exe to run; empty: the system folder's
};

// The program is an existing file given with a drive (":\"; a bare name would be searched for in
// this program's folder first). Blanks around the text are dropped. The program part is
//   - for a text that begins with a quote, what the quotes enclose; the rest, after a blank, is
//     its arguments;
//   - else the longest part that names one, the whole text or a part before a blank (so blanks,
//     "&" and the like in a path need no quotes); the rest is its arguments.
// A part that names no file, or a file without extension, names the first of part.com,
// part.exe, part.bat and part.cmd that exists (else the file itself), as Windows finds programs;
// the command line names that file in full, so that no other can run in its place. A .bat or .cmd
// runs in a cmd of its own, as a double-click runs it; any other file through start. Nothing of
// the arguments is read by the cmd that reads the line: no variable, redirection or command.
ProgramStart ReadProgramStart(std::wstring_view text, FileQuery& files,
                              std::wstring_view wow64WindowsFolder = {});

// The paths that ReadProgramStart asks about for `text`, in the order it asks: a checker that
// answers them ahead, in this order, up to the first file, has every answer the reading needs.
std::vector<std::wstring> ProgramCandidates(std::wstring_view text,
                                            std::wstring_view wow64WindowsFolder = {});

}  // namespace velmora
