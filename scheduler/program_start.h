// What the 运行 action starts: the path field's text read as a user means it (a program, perhaps
// quoted, perhaps followed by arguments), and the cmd.exe line that hands them on as typed.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// The one question the reading asks of the file system (a made-up one in the unit tests).
class FileQuery {
  public:
    virtual ~FileQuery() = default;
    // True when `path` names an existing file (a folder is none).
    virtual bool IsFile(const std::wstring& path) const = 0;
};

// `cmd.exe /c start "" "<program>" <arguments>`, or nothing when the text names no program, which
// must be an existing file given with a drive (":\"; a bare name would be searched for in this
// program's current folder first). Blanks around the text are dropped. The program is
//   - for a text that begins with a quote, what the quotes enclose; the rest, after a blank, is
//     its arguments;
//   - else the longest part that names one, the whole text or a part before a blank (so blanks,
//     "&" and the like in a path need no quotes); the rest is its arguments.
// The arguments reach the program as typed: nothing of them is read by cmd as a variable, a
// redirection or a command of its own.
std::optional<std::wstring> StartProgramCommandLine(std::wstring_view text, const FileQuery& files);

}  // namespace velmora
