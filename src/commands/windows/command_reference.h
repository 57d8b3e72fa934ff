// The users' reference of the script commands: a Markdown table of them
// and the text that ships beside the DLL, from the command list's names,
// types, exports and reference text.
#pragma once

#include <string>
#include <string_view>

#include "commands/command_table.h"

namespace tarvo {

// "portalNode" as "portal node", "zoneA" as "zone A".
inline std::string wordsOf(std::string_view name) {
    std::string words;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const bool startsWord = i > 0 && c >= 'A' && c <= 'Z';
        const bool inWord = i + 1 < name.size() && name[i + 1] >= 'a' && name[i + 1] <= 'z';
        if (startsWord) words += ' ';
        words += startsWord && inWord ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return words;
}

inline std::string_view typeName(char letter) {
    switch (letter) {
        case 'L':
            return "int";
        case 'F':
            return "float";
        case 'D':
            return "0/1";
        default:
            return "?";
    }
}

// "name type, name type", types in backticks for Markdown.
inline std::string parameterList(const CommandDeclaration& command, bool markdown) {
    const char* quote = markdown ? "`" : "";
    const std::string_view letters = command.signature.parameters;
    std::string list;
    for (std::size_t i = 0; i < letters.size(); ++i) {
        if (!list.empty()) list += ", ";
        list += wordsOf(command.parameterNames[i]) + " " + quote +
                std::string(typeName(letters[i])) + quote;
    }
    return list;
}

inline std::string resultText(const CommandDeclaration& command, bool markdown) {
    const char* quote = markdown ? "`" : "";
    const char result = command.signature.result;
    if (result == 0) return "";
    return wordsOf(command.resultName) + " " + quote + std::string(typeName(result)) + quote;
}

// The text indented by four spaces, its lines broken between words before
// column 80.
inline std::string indentedParagraph(std::string_view text) {
    constexpr std::size_t kWidth = 76;
    std::string out;
    std::size_t lineLength = 0;
    while (!text.empty()) {
        const std::size_t space = text.find(' ');
        const std::string_view word = text.substr(0, space);
        text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
        if (lineLength > 0 && lineLength + 1 + word.size() > kWidth) {
            out += "\n";
            lineLength = 0;
        }
        out += lineLength == 0 ? "    " : " ";
        out += word;
        lineLength += (lineLength == 0 ? 0 : 1) + word.size();
    }
    return out + "\n";
}

// The script authors' reference that ships beside the DLL: every command as
// a script calls it, with its types and what it does.
inline std::string commandReferenceText(std::string_view version) {
    std::string out =
        "TarvoCulling " + std::string(version) + ": the script commands\n\n" +
        indentedParagraph(
            "Types: int is a 32-bit signed integer (node and portal handles, object, "
            "limb and camera numbers, roles); float a 32-bit float; 0/1 a result that "
            "is 1 for yes and 0 for no. A handle names a node or a portal; 0 names "
            "none. A handle names nothing when its node or portal was deleted, when "
            "the plug-in never issued it, or when it is of the other kind (a portal "
            "handle where a node is expected, or the reverse): the command then does "
            "nothing and returns 0 (0.0 for a float result). Where a command has two "
            "parameter lists, "
            "the engine picks the one with as many arguments as the script gives.") +
        "\n";
    for (const CommandDeclaration& command : kCommandTable) {
        const std::string result = resultText(command, false);
        out += std::string(command.signature.scriptName) + "(" + parameterList(command, false) +
               ")" + (result.empty() ? "" : " -> " + result) + "\n" +
               indentedParagraph(command.reference) + "\n";
    }
    return out;
}

}  // namespace tarvo
