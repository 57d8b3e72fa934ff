// Writes the Windows plug-in's module-definition file and its string-table
// resource script from the command table, so that neither is kept by hand.
// Built and run on the build machine, also when the plug-in is cross-compiled.
//
// Usage: resource_gen RC-FILE DEF-FILE
//        resource_gen --reference     the README's command reference, on stdout
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

#include "commands/command_table.h"
#include "commands/windows/command_reference.h"

namespace {

// Characters that need no escape in a resource-script string literal; a
// declaration outside this set would need quoting rules worth a second look.
constexpr bool plainDeclaration(std::string_view text) {
    for (char c : text) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '_' || c == '%' || c == '[';
        if (!plain) return false;
    }
    return true;
}

constexpr bool tableIsWritable() {
    int expected = 1;
    for (const auto& command : tarvo::kCommandTable) {
        if (command.id != expected++ || !plainDeclaration(command.declaration)) return false;
        if (!tarvo::parseDeclaration(command.declaration)) return false;
    }
    return true;
}
static_assert(tableIsWritable());

std::string resourceScript() {
    std::ostringstream rc;
    rc << "// Generated from the command table; edit src/commands/command_table.h instead.\n"
          "#include <winresrc.h>\n\n"
          // 2057: the language the host's script compiler looks the table up in.
          "LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_UK\n"
          "STRINGTABLE\n"
          "BEGIN\n"
          "    0 \"\"\n";
    for (const auto& command : tarvo::kCommandTable) {
        rc << "    " << command.id << " \"" << command.declaration << "\"\n";
    }
    rc << "END\n";
    return rc.str();
}

std::string moduleDefinition() {
    std::ostringstream def;
    def << "; Generated from the command table; edit src/commands/command_table.h instead.\n"
           "LIBRARY TarvoCulling.dll\n"
           "EXPORTS\n";
    for (const auto& command : tarvo::kCommandTable) {
        def << "    " << tarvo::signatureOf(command).exportName << "\n";
    }
    return def.str();
}

// Leaves an unchanged file alone so that the build does not relink for nothing.
bool writeIfChanged(const char* path, const std::string& text) {
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream old;
        old << in.rdbuf();
        if (in && old.str() == text) return true;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string_view(argv[1]) == "--reference") {
        std::cout << tarvo::commandReference();
        return 0;
    }
    if (argc != 3) {
        std::cerr << "usage: resource_gen RC-FILE DEF-FILE | --reference\n";
        return 2;
    }
    if (!writeIfChanged(argv[1], resourceScript()) ||
        !writeIfChanged(argv[2], moduleDefinition())) {
        std::cerr << "resource_gen: cannot write output\n";
        return 1;
    }
    return 0;
}
