// Reading the path field's text into a program and its arguments, and the cmd.exe line for them:
// cmd reads its line before start runs the program, so the line is written for cmd to leave alone.
#include "scheduler/program_start.h"

namespace velmora {

namespace {

constexpr wchar_t kStartCommandPrefix[] = L"cmd.exe /c start \"\" ";

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

// A quote inside the program would end its quoting early and hand the rest to cmd unquoted.
bool IsProgram(std::wstring_view path, const FileQuery& files) {
    return path.find(L":\\") != std::wstring_view::npos &&
           path.find(L'"') == std::wstring_view::npos && files.IsFile(std::wstring(path));
}

std::wstring_view TrimmedFront(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

// `text` (the quoted program, then its arguments) as cmd must get it so that the program gets
// `text`. Two readers count here: cmd, for which every quote opens or closes a quoted stretch,
// and the program's C runtime, which drops the quotes that open or close one (not those after an
// odd number of backslashes) and halves the backslashes before them. ("" inside a quoted stretch
// is a quote of its own to some runtimes, not to others: either way the stretch goes on.)
// - cmd reads %name% as a variable wherever it stands, quoted or not, and a caret does not stop
//   it in every cmd. With a quote right after each %, any name between two of them holds a quote,
//   which no variable's name does. The quotes come as a pair that the C runtime drops: "%" inside
//   a quoted stretch (its backslashes before it doubled, as they now stand before a quote), %""
//   outside one.
// - & | < > ^ outside cmd's quoted stretches get cmd's escape, a caret, which cmd takes away.
std::wstring ForCmd(std::wstring_view text) {
    std::wstring line;
    bool cmdQuoted = false;
    bool crtQuoted = false;
    std::size_t backslashes = 0;  // in a row just before the character
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        const wchar_t next = i + 1 < text.size() ? text[i + 1] : L'\0';
        if (c == L'%' && next != L'"') {
            line += crtQuoted ? std::wstring(backslashes, L'\\') + L"\"%\"" : L"%\"\"";
        } else if (!cmdQuoted && std::wstring_view(L"&|<>^").find(c) != std::wstring_view::npos) {
            line += L'^';
            line += c;
        } else {
            line += c;
        }
        if (c == L'"') {
            cmdQuoted = !cmdQuoted;
            crtQuoted = backslashes % 2 == 0 ? !crtQuoted : crtQuoted;
        }
        backslashes = c == L'\\' ? backslashes + 1 : 0;
    }
    return line;
}

}  // namespace

std::optional<std::wstring> StartProgramCommandLine(std::wstring_view text,
                                                    const FileQuery& files) {
    if (text.find(L":\\") == std::wstring_view::npos) {
        return std::nullopt;  // no drive path (yet): asked again at the next tick
    }
    text = TrimmedFront(text);
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    std::wstring_view program;
    std::wstring_view arguments;
    if (!text.empty() && text.front() == L'"') {
        const std::size_t close = text.find(L'"', 1);
        if (close == std::wstring_view::npos ||
            (close + 1 < text.size() && !IsBlank(text[close + 1]))) {
            return std::nullopt;  // no closing quote, or one in the middle of a word
        }
        program = text.substr(1, close - 1);
        arguments = text.substr(close + 1);
        if (!IsProgram(program, files)) {
            return std::nullopt;
        }
    } else {
        for (std::size_t end = text.size(); end > 0 && program.empty(); --end) {
            if ((end == text.size() || (IsBlank(text[end]) && !IsBlank(text[end - 1]))) &&
                IsProgram(text.substr(0, end), files)) {
                program = text.substr(0, end);
                arguments = text.substr(end);
            }
        }
        if (program.empty()) {
            return std::nullopt;
        }
    }
    arguments = TrimmedFront(arguments);
    // The empty "" is start's window title; without it start takes the quoted program as the
    // title and opens a new console instead.
    return kStartCommandPrefix + ForCmd(L"\"" + std::wstring(program) + L"\"" +
                                        (arguments.empty() ? L"" : L" ") + std::wstring(arguments));
}

}  // namespace velmora
