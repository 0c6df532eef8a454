// Reading the path field's text into a program and its arguments, and the cmd.exe line for them:
// cmd reads its line before the program runs, so the line is written for cmd to leave alone.
#include "scheduler/program_start.h"

#include <array>

namespace velmora {

namespace {

// /d: no AutoRun of the user's (HKCU\...\Command Processor), which would run before the command.
constexpr wchar_t kStartPrefix[] = L"cmd.exe /d /c start \"\" ";
// /s: cmd drops the first and the last quote of what follows /c, and reads the rest as typed.
constexpr wchar_t kScriptPrefix[] = L"cmd.exe /d /s /c \"";
// The order in which cmd (PATHEXT's default) and Explorer try them.
constexpr std::array<const wchar_t*, 4> kProgramExtensions = {L".com", L".exe", L".bat", L".cmd"};

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

std::wstring_view Trimmed(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

wchar_t Lower(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// Of two texts of the same length.
bool EqualNoCase(std::wstring_view a, std::wstring_view b) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}

std::wstring_view FileName(std::wstring_view path) {
    return path.substr(path.find_last_of(L"\\/") + 1);
}

bool IsScript(std::wstring_view path) {
    const std::wstring_view name = FileName(path);
    return name.size() > 4 && (EqualNoCase(name.substr(name.size() - 4), L".bat") ||
                               EqualNoCase(name.substr(name.size() - 4), L".cmd"));
}

std::wstring FolderOf(std::wstring_view path) {
    const std::size_t last = path.find_last_of(L'\\');
    // "C:" alone would mean the drive's current folder, not its root.
    return std::wstring(path.substr(0, last == 2 ? 3 : last));
}

// One file that the program part may name: `path` is asked and run, `typed` is the same file as
// the user names it (before SysnativePath).
struct Candidate {
    std::wstring path;
    std::wstring typed;
    std::wstring_view arguments;
};

// A quote inside the program would end its quoting early and hand the rest to cmd unquoted.
void AddCandidates(std::wstring_view program, std::wstring_view arguments,
                   std::wstring_view windowsFolder, std::vector<Candidate>& out) {
    if (program.find(L":\\") == std::wstring_view::npos ||
        program.find(L'"') != std::wstring_view::npos) {
        return;
    }
    const std::wstring typed(program);
    const bool hasExtension = FileName(program).find(L'.') != std::wstring_view::npos;
    if (hasExtension) {
        out.push_back({SysnativePath(typed, windowsFolder), typed, arguments});
    }
    for (const wchar_t* extension : kProgramExtensions) {
        out.push_back(
            {SysnativePath(typed + extension, windowsFolder), typed + extension, arguments});
    }
    if (!hasExtension) {
        out.push_back({SysnativePath(typed, windowsFolder), typed, arguments});
    }
}

std::vector<Candidate> Candidates(std::wstring_view text, std::wstring_view windowsFolder) {
    std::vector<Candidate> out;
    if (text.find(L":\\") == std::wstring_view::npos) {
        return out;  // no drive path (yet)
    }
    text = Trimmed(text);
    if (!text.empty() && text.front() == L'"') {
        const std::size_t close = text.find(L'"', 1);
        if (close != std::wstring_view::npos &&
            (close + 1 == text.size() || IsBlank(text[close + 1]))) {  // not mid-word
            AddCandidates(text.substr(1, close - 1), text.substr(close + 1), windowsFolder, out);
        }
        return out;
    }
    for (std::size_t end = text.size(); end > 0; --end) {
        if (end == text.size() || (IsBlank(text[end]) && !IsBlank(text[end - 1]))) {
            AddCandidates(text.substr(0, end), text.substr(end), windowsFolder, out);
        }
    }
    return out;
}

// `text` (the quoted program, then its arguments) as cmd must get it so that the program gets
// `text`. For cmd every quote opens or closes a quoted stretch; & | < > ^ outside one get cmd's
// escape, a caret, which cmd takes away. cmd reads %name% as a variable wherever it stands,
// quoted or not, and so does the cmd that runs a script with its arguments.
// - A program's C runtime drops the quotes that open or close a stretch (not those after an odd
//   number of backslashes) and halves the backslashes before them. With a quote right after each
//   %, any name between two of them holds a quote, which no variable's name does; the quotes come
//   as a pair that the C runtime drops: "%" inside a quoted stretch (its backslashes before it
//   doubled, as they now stand before a quote), %"" outside one. ("" inside a quoted stretch is a
//   quote of its own to some runtimes, not to others: either way the stretch goes on.)
// - A script gets its arguments with every quote kept, so only an unquoted % can be kept from
//   cmd: a caret after it starts every name with one, which no variable's does, and cmd then
//   takes the caret away. Its own path has no quote inside: a % there becomes "%".
std::wstring ForCmd(std::wstring_view text, bool script) {
    std::wstring line;
    bool cmdQuoted = false;
    bool crtQuoted = false;
    bool escaped = false;         // by the caret put after a %
    bool inScriptPath = script;   // the script's own quoted path, at the front
    std::size_t backslashes = 0;  // in a row just before the character
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        const wchar_t next = i + 1 < text.size() ? text[i + 1] : L'\0';
        const bool special = std::wstring_view(L"&|<>^").find(c) != std::wstring_view::npos;
        if (c == L'%' && inScriptPath && cmdQuoted) {
            line += L"\"%\"";
        } else if (c == L'%' && script && !cmdQuoted && next != L'"' && next != L'\0') {
            line += L"%^";
        } else if (c == L'%' && !script && next != L'"') {
            line += crtQuoted ? std::wstring(backslashes, L'\\') + L"\"%\"" : L"%\"\"";
        } else if (!cmdQuoted && special && !escaped) {
            line += L'^';
            line += c;
        } else {
            line += c;
        }
        escaped = c == L'%' && script && !cmdQuoted && next != L'"' && next != L'\0';
        if (c == L'"') {
            inScriptPath = inScriptPath && !cmdQuoted;
            cmdQuoted = !cmdQuoted;
            crtQuoted = backslashes % 2 == 0 ? !crtQuoted : crtQuoted;
        }
        backslashes = c == L'\\' ? backslashes + 1 : 0;
    }
    return line;
}

ProgramStart StartFor(const Candidate& program, std::wstring_view windowsFolder) {
    ProgramStart start;
    // A script runs as Explorer runs it, in a cmd of its own: start would hand it to a second
    // cmd, which reads its arguments once more (and whose /k console stays open). Under WOW64
    // that cmd is the 64-bit one, as Explorer's is, so that the script's own commands (reg,
    // powershell) are not their 32-bit copies; it names the script as the user does.
    start.showConsole = IsScript(program.path);
    if (start.showConsole && !windowsFolder.empty()) {
        start.interpreter = std::wstring(windowsFolder) + L"\\Sysnative\\cmd.exe";
    }
    const std::wstring arguments(Trimmed(program.arguments));
    const std::wstring quoted = L"\"" + (start.interpreter.empty() ? program.path : program.typed) +
                                L"\"" + (arguments.empty() ? L"" : L" ") + arguments;
    start.commandLine = start.showConsole ? kScriptPrefix + ForCmd(quoted, true) + L"\""
                                          : kStartPrefix + ForCmd(quoted, false);
    // The folder as the user sees it: Sysnative exists only for 32-bit programs, and the started
    // one may be 64-bit.
    start.folder = FolderOf(program.typed);
    start.status = start.commandLine.size() <= kMaxCommandLine ? ProgramStart::Status::kStart
                                                               : ProgramStart::Status::kNothing;
    return start;
}

}  // namespace

std::wstring SysnativePath(std::wstring_view path, std::wstring_view windowsFolder) {
    const std::wstring system32 = std::wstring(windowsFolder) + L"\\System32";
    if (windowsFolder.empty() || path.size() <= system32.size() ||
        !EqualNoCase(path.substr(0, system32.size()), system32) || path[system32.size()] != L'\\') {
        return std::wstring(path);
    }
    return std::wstring(windowsFolder) + L"\\Sysnative" +
           std::wstring(path.substr(system32.size()));
}

ProgramStart ReadProgramStart(std::wstring_view text, FileQuery& files,
                              std::wstring_view wow64WindowsFolder) {
    // A longer program part still being checked is never passed over for a shorter one.
    for (const Candidate& candidate : Candidates(text, wow64WindowsFolder)) {
        switch (files.Ask(candidate.path)) {
            case FileAnswer::kFile:
                return StartFor(candidate, wow64WindowsFolder);
            case FileAnswer::kNotKnownYet: {
                ProgramStart pending;
                pending.status = ProgramStart::Status::kPending;
                return pending;
            }
            case FileAnswer::kNoFile:
                break;
        }
    }
    return {};
}

std::vector<std::wstring> ProgramCandidates(std::wstring_view text,
                                            std::wstring_view wow64WindowsFolder) {
    std::vector<std::wstring> paths;
    for (Candidate& candidate : Candidates(text, wow64WindowsFolder)) {
        paths.push_back(std::move(candidate.path));
    }
    return paths;
}

}  // namespace velmora
