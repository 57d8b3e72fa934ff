#include "plugin_table.h"

#include <cstdlib>
#include <string_view>

namespace standin {
namespace {

// The string's own length, terminator or not: LoadStringW with no buffer
// hands back a pointer into the resource.
std::wstring loadString(HMODULE module, UINT id) {
    const wchar_t* text = nullptr;
    const int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

// "NAME[%LETTERS%EXPORT%": the engine's compiler takes it apart the same way.
bool takeApart(const std::string& text, PluginCommand& out) {
    const size_t first = text.find('%');
    if (first == std::string::npos || first == 0 || text.back() != '%') return false;
    const size_t second = text.find('%', first + 1);
    if (second == std::string::npos || second + 2 > text.size() - 1) return false;
    std::string letters = text.substr(first + 1, second - first - 1);
    out.exportName = text.substr(second + 1, text.size() - second - 2);
    if (letters.empty() || out.exportName.empty()) return false;
    if (text[first - 1] == '[') {
        out.result = letters.front();
        letters.erase(0, 1);
        if (out.result != 'L' && out.result != 'F' && out.result != 'D') return false;
    }
    if (letters == "0") letters.clear();
    for (char c : letters) {
        if (c != 'L' && c != 'F') return false;
    }
    out.parameters = letters;
    return true;
}

// Every argument one 32-bit slot on the stack, the caller removing them; a
// float argument's slot is its bit pattern, which is how cdecl passes a float.
// The result is EAX, also for commands that return nothing.
template <typename... Slots>
uint32_t callWith(FARPROC address, Slots... slots) {
    using Function = uint32_t(__cdecl*)(Slots...);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address))(slots...);
}

}  // namespace

std::string PluginTable::read(HMODULE plugin) {
    std::string faults;
    const auto fault = [&](UINT id, const std::string& what) {
        faults += "string " + std::to_string(id) + ": " + what + "\n";
    };
    for (UINT id : {0u, 62u, 63u}) {
        if (!loadString(plugin, id).empty()) fault(id, "should be empty");
    }
    // Each block of sixteen strings must be in English (United Kingdom).
    for (UINT block = 1; block <= 4; ++block) {
        if (!FindResourceExW(plugin, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(block),
                             MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK))) {
            fault(block * 16 - 16, "block not in language 2057");
        }
    }
    for (UINT id = 1; id <= 61; ++id) {
        const std::wstring wide = loadString(plugin, id);
        std::string narrow;
        for (wchar_t c : wide) {
            if (c < 0x20 || c > 0x7E) fault(id, "character outside printable ASCII");
            narrow += static_cast<char>(c);
        }
        PluginCommand& command = commands_[id];
        command = {};
        command.declaration = narrow;
        if (!takeApart(narrow, command)) {
            fault(id, "malformed declaration \"" + narrow + "\"");
            continue;
        }
        command.address = GetProcAddress(plugin, command.exportName.c_str());
        if (!command.address) fault(id, "no export " + command.exportName);
    }
    return faults;
}

const PluginCommand* PluginTable::findExport(const std::string& exportName) const {
    for (int id = 1; id <= 61; ++id) {
        if (commands_[id].exportName == exportName) return &commands_[id];
    }
    return nullptr;
}

uint32_t PluginTable::call(int id, std::span<const uint32_t> slots) const {
    const PluginCommand& command = commands_.at(static_cast<size_t>(id));
    // A slot count other than the declaration's would unbalance the stack.
    if (!command.address || slots.size() != command.parameters.size()) std::abort();
    return callCdecl(command.address, slots);
}

uint32_t callCdecl(FARPROC address, std::span<const uint32_t> s) {
    switch (s.size()) {
        case 0:
            return callWith(address);
        case 1:
            return callWith(address, s[0]);
        case 2:
            return callWith(address, s[0], s[1]);
        case 3:
            return callWith(address, s[0], s[1], s[2]);
        case 4:
            return callWith(address, s[0], s[1], s[2], s[3]);
        case 5:
            return callWith(address, s[0], s[1], s[2], s[3], s[4]);
        case 6:
            return callWith(address, s[0], s[1], s[2], s[3], s[4], s[5]);
        case 7:
            return callWith(address, s[0], s[1], s[2], s[3], s[4], s[5], s[6]);
        case 8:
            return callWith(address, s[0], s[1], s[2], s[3], s[4], s[5], s[6], s[7]);
        default:
            std::abort();  // no command takes more
    }
}

}  // namespace standin
