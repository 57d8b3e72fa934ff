// otcull.exe's edge with Windows. The arguments arrive as UTF-16 and go on
// as UTF-8, which every file name inside otcull is (see utf8_path.h).
// Standard output and error carry the text otcull writes on Linux with the
// line endings of Windows, CRLF, as the archive's example outputs have them;
// scripts are read as they are, byte for byte, a CR before each LF or not.
//
// Dropping a script or journal onto otcull.exe in Explorer starts it with
// that one path and no verb: it then writes the session's page beside the
// file, NAME.html, and opens it in the default browser.
// windows.h first: the other Windows headers build on it.
#include <windows.h>
// The shell, and the C runtime's console and file modes.
#include <conio.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "cli/verbs.h"
#include "output/kept_failure_buffer.h"
#include "output/utf8_path.h"

namespace {

std::string utf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), length, nullptr, nullptr);
    return out;
}

// The console shows otcull's UTF-8 as such while it runs; the code page the
// user had comes back when it ends, since the console outlives otcull.
class Utf8Console {
public:
    Utf8Console() : previous_(GetConsoleOutputCP()) {
        if (previous_ != 0) SetConsoleOutputCP(CP_UTF8);
    }
    ~Utf8Console() {
        if (previous_ != 0) SetConsoleOutputCP(previous_);
    }
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

private:
    UINT previous_;
};

// Started from Explorer, otcull has a console window of its own, which
// closes with it: a message would vanish before anyone read it.
bool consoleClosesWithUs() {
    DWORD processes[2];
    DWORD mode = 0;
    return GetConsoleProcessList(processes, 2) == 1 &&
           GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

bool isDroppedFile(const std::vector<std::string_view>& args) {
    if (args.size() != 1 || args[0].starts_with('-')) return false;
    std::error_code ignored;
    return std::filesystem::is_regular_file(tarvo::utf8Path(args[0]), ignored);
}

bool openInBrowser(const std::filesystem::path& page, std::ostream& err) {
    // Some shell handlers are COM objects and expect an apartment.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const auto code = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", page.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (code > 32) return true;
    err << "otcull: cannot open " << utf8(page.native()) << " in the browser ("
        << (code == SE_ERR_NOASSOC ? std::string("no program is set to open .html files")
                                   : "Windows error " + std::to_string(code))
        << ")\n";
    return false;
}

// The page beside the dropped file; the same write, refusals and messages as
// `otcull view FILE -o NAME.html`.
int viewDroppedFile(std::string_view file, std::ostream& out) {
    std::filesystem::path page = tarvo::utf8Path(file);
    page.replace_extension(L".html");
    const std::string pageName = utf8(page.native());
    const std::vector<std::string_view> viewArgs = {"view", file, "-o", pageName};
    int status = tarvo::otcullMain(viewArgs, out, std::cerr);
    if (status == 0 && !openInBrowser(page, std::cerr)) status = 1;
    if (status != 0 && consoleClosesWithUs()) {
        std::cerr << "Press any key to close this window.\n";
        _getwch();
    }
    return status;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // In text mode a Ctrl-Z would end a script read from standard input early.
    _setmode(_fileno(stdin), _O_BINARY);
    const Utf8Console console;
    std::ios::sync_with_stdio(false);
    // A full disk or a closed pipe is a failed write, said once and in words.
    tarvo::KeptFailureBuffer standardOutput(*std::cout.rdbuf());
    std::ostream out(&standardOutput);
    std::vector<std::string> texts;
    for (int i = 1; i < argc; ++i) texts.push_back(utf8(argv[i]));
    const std::vector<std::string_view> args(texts.begin(), texts.end());
    if (isDroppedFile(args)) return viewDroppedFile(args[0], out);
    return tarvo::otcullMain(args, out, std::cerr);
}
