// The plug-in as the engine sees it: its command table read back with
// LoadStringW, and each command's export found by the name its declaration
// gives, called with the cdecl convention, one 32-bit slot per argument.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace standin {

struct PluginCommand {
    std::string declaration;  // as read from the resource
    std::string exportName;
    std::string parameters;  // letters; empty when the declaration has "0"
    char result = 0;         // 'L', 'F', 'D' or 0
    FARPROC address = nullptr;
};

class PluginTable {
public:
    // Reads identifiers 0 to 63. Empty when the table is sound, otherwise
    // each fault on a line of its own.
    std::string read(HMODULE plugin);

    const PluginCommand& command(int id) const { return commands_[id]; }
    const PluginCommand* findExport(const std::string& exportName) const;

    // The export's result register, whatever its declared type.
    uint32_t call(int id, std::span<const uint32_t> slots) const;

private:
    std::array<PluginCommand, 62> commands_{};  // by identifier; 0 unused
};

uint32_t callCdecl(FARPROC address, std::span<const uint32_t> slots);

}  // namespace standin
