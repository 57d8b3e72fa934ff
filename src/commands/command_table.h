// The command table: each row of commands/command_list.h with what follows
// from it, fixed at compile time. Its declaration is written here exactly as
// the host's script compiler reads it from the plug-in's string table,
// "NAME[%TYPES%EXPORT%": a '[' and the result's letter for a command with a
// result, then one letter per parameter ('L' integer, 'F' float; "0" for
// none), result letters 'L' handle, 'F' float, 'D' 0 or 1.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

#include "commands/command_list.h"

namespace tarvo {

// What a parameter stands for; each kind is its own one-letter code.
enum class ParameterKind : char {
    kNode = 'N',
    kPortal = 'P',
    kRole = 'R',
    kObject = 'O',
    kLimb = 'M',
    kCamera = 'C',
    kFloat = 'F',
};

enum class ResultKind : uint8_t { kNone, kNewNode, kNewPortal, kNode, kFloat, kFlag };

// The host state a command reads besides its arguments.
enum class HostRead : uint8_t {
    kNothing,
    kCurrentCamera,
    kCameraMatrices,
    kCameraPosition,
    kObjectFigures,
    kLimbFigures,
};

// The C types the exports take and give: a float result crosses as its bits.
template <ParameterKind kind>
using ParameterType = std::conditional_t<kind == ParameterKind::kFloat, float, int32_t>;
template <ResultKind kind>
using ResultType = std::conditional_t<kind == ResultKind::kNone, void, int32_t>;

inline constexpr std::size_t kMaxParameters = 8;

struct CommandParameter {
    ParameterKind kind;
    std::string_view name;  // empty past the last parameter
};

// A row of the list as written.
struct CommandRow {
    int id;
    std::string_view exportName;
    std::string_view scriptName;
    std::string_view hostLink;  // "Link" or "NoLink"
    HostRead reads;
    ResultKind result;
    std::string_view resultName;
    std::array<CommandParameter, kMaxParameters> parameters;
    std::string_view reference;
};

// Applies f to each (KIND, NAME) pair of a row's parenthesised parameter
// list, the results separated by commas. Each rescan takes one step; 64 are
// far more than kMaxParameters needs.
#define TARVO_EACH_PARAMETER(f, parameters) TARVO_EACH_IN(f, TARVO_UNPAREN parameters)
#define TARVO_EACH_IN(f, ...) TARVO_EACH_LISTED(f, __VA_ARGS__)
#define TARVO_EACH_LISTED(f, ...) __VA_OPT__(TARVO_RESCAN(TARVO_EACH_STEP(f, __VA_ARGS__)))
#define TARVO_EACH_STEP(f, pair, ...) \
    f pair __VA_OPT__(, TARVO_EACH_AGAIN TARVO_PARENS(f, __VA_ARGS__))
#define TARVO_EACH_AGAIN() TARVO_EACH_STEP
#define TARVO_PARENS ()
#define TARVO_UNPAREN(...) __VA_ARGS__
#define TARVO_RESCAN(...) TARVO_RESCAN4(TARVO_RESCAN4(TARVO_RESCAN4(__VA_ARGS__)))
#define TARVO_RESCAN4(...) TARVO_RESCAN1(TARVO_RESCAN1(TARVO_RESCAN1(TARVO_RESCAN1(__VA_ARGS__))))
#define TARVO_RESCAN1(...) __VA_ARGS__

// "," before a list that is not empty, for arguments after a first one.
#define TARVO_COMMA_FIRST(...) TARVO_COMMA_FIRST_EXPANDED(__VA_ARGS__)
#define TARVO_COMMA_FIRST_EXPANDED(...) __VA_OPT__(, ) __VA_ARGS__

// The pieces of an export's C declaration, from a row's columns.
#define TARVO_RESULT_TYPE(result) TARVO_RESULT_TYPE_OF result
#define TARVO_RESULT_TYPE_OF(kind, name) ::tarvo::ResultType<::tarvo::ResultKind::k##kind>
#define TARVO_PARAMETER_TYPE(kind, name) ::tarvo::ParameterType<::tarvo::ParameterKind::k##kind>
#define TARVO_PARAMETER_DECLARATION(kind, name) TARVO_PARAMETER_TYPE(kind, name) name
#define TARVO_PARAMETER_NAME(kind, name) name
#define TARVO_FUNCTION_TYPE(result, parameters)     \
    std::type_identity_t<TARVO_RESULT_TYPE(result)( \
        TARVO_EACH_PARAMETER(TARVO_PARAMETER_TYPE, parameters))>

#define TARVO_ROW_RESULT(kind, name) ::tarvo::ResultKind::k##kind, #name
#define TARVO_ROW_PARAMETER(kind, name)        \
    ::tarvo::CommandParameter {                \
        ::tarvo::ParameterKind::k##kind, #name \
    }
#define TARVO_COMMAND_ROW(id, exportName, scriptName, hostLink, reads, result, parameters, \
                          reference)                                                       \
    ::tarvo::CommandRow{id,                                                                \
                        #exportName,                                                       \
                        #scriptName,                                                       \
                        #hostLink,                                                         \
                        ::tarvo::HostRead::k##reads,                                       \
                        TARVO_ROW_RESULT result,                                           \
                        {{TARVO_EACH_PARAMETER(TARVO_ROW_PARAMETER, parameters)}},         \
                        reference},

inline constexpr CommandRow kCommandRows[] = {TARVO_COMMANDS(TARVO_COMMAND_ROW)};
inline constexpr std::size_t kCommandCount = std::size(kCommandRows);

// A declaration's parts, as views of the declaration.
struct CommandSignature {
    std::string_view scriptName;
    std::string_view exportName;
    char result;                  // 'L', 'F', 'D', or 0 for none
    std::string_view parameters;  // "" for none (the declaration's "0")
};

// One command, as the plug-in, the host and the tools see it.
struct CommandDeclaration {
    int id;                        // string identifier in the resource, from 1
    std::string_view declaration;  // "NAME[%TYPES%EXPORT%"
    bool runsHostLink;
    CommandSignature signature;
    std::string_view parameterKinds;  // one ParameterKind letter per parameter
    std::array<std::string_view, kMaxParameters> parameterNames;
    ResultKind result;
    std::string_view resultName;
    HostRead reads;
    std::string_view reference;
};

namespace command_rows {

constexpr std::size_t parameterCount(const CommandRow& row) {
    std::size_t count = 0;
    while (count < kMaxParameters && !row.parameters[count].name.empty()) ++count;
    return count;
}

constexpr char resultLetter(ResultKind kind) {
    switch (kind) {
        case ResultKind::kNone:
            return 0;
        case ResultKind::kFloat:
            return 'F';
        case ResultKind::kFlag:
            return 'D';
        default:
            return 'L';
    }
}

constexpr char parameterLetter(ParameterKind kind) {
    return kind == ParameterKind::kFloat ? 'F' : 'L';
}

// Where a row's declaration starts its parameter letters.
constexpr std::size_t lettersOffset(const CommandRow& row) {
    return row.scriptName.size() + (row.result == ResultKind::kNone ? 1 : 3);
}

// The declaration, then the parameter kinds.
constexpr std::size_t textSize(const CommandRow& row) {
    const std::size_t count = parameterCount(row);
    const std::size_t letters = count == 0 ? 1 : count;
    return lettersOffset(row) + letters + row.exportName.size() + 2 + count;
}

consteval std::size_t allTextSize() {
    std::size_t size = 0;
    for (const CommandRow& row : kCommandRows) size += textSize(row);
    return size;
}

consteval std::array<char, allTextSize()> writeAllText() {
    std::array<char, allTextSize()> text{};
    char* at = text.data();
    const auto put = [&](std::string_view part) {
        for (char c : part) *at++ = c;
    };
    for (const CommandRow& row : kCommandRows) {
        const std::size_t count = parameterCount(row);
        put(row.scriptName);
        if (row.result != ResultKind::kNone) *at++ = '[';
        *at++ = '%';
        if (row.result != ResultKind::kNone) *at++ = resultLetter(row.result);
        if (count == 0) *at++ = '0';
        for (std::size_t i = 0; i < count; ++i) *at++ = parameterLetter(row.parameters[i].kind);
        *at++ = '%';
        put(row.exportName);
        *at++ = '%';
        for (std::size_t i = 0; i < count; ++i) *at++ = static_cast<char>(row.parameters[i].kind);
    }
    return text;
}

inline constexpr std::array<char, allTextSize()> kText = writeAllText();

consteval bool hostLinkOf(std::string_view word) {
    if (word == "Link") return true;
    if (word != "NoLink") throw "a row's host link is Link or NoLink";
    return false;
}

consteval std::array<CommandDeclaration, kCommandCount> describeAll() {
    std::array<CommandDeclaration, kCommandCount> table{};
    std::size_t at = 0;
    for (std::size_t i = 0; i < kCommandCount; ++i) {
        const CommandRow& row = kCommandRows[i];
        const std::size_t count = parameterCount(row);
        const std::string_view text(kText.data() + at, textSize(row));
        const std::string_view declaration = text.substr(0, textSize(row) - count);
        CommandDeclaration& command = table[i];
        command.id = row.id;
        command.declaration = declaration;
        command.runsHostLink = hostLinkOf(row.hostLink);
        const std::size_t exportAt = declaration.size() - 1 - row.exportName.size();
        command.signature = {declaration.substr(0, row.scriptName.size()),
                             declaration.substr(exportAt, row.exportName.size()),
                             resultLetter(row.result),
                             declaration.substr(lettersOffset(row), count)};
        command.parameterKinds = text.substr(declaration.size());
        for (std::size_t p = 0; p < count; ++p) command.parameterNames[p] = row.parameters[p].name;
        command.result = row.result;
        command.resultName = row.resultName;
        command.reads = row.reads;
        command.reference = row.reference;
        at += text.size();
    }
    return table;
}

}  // namespace command_rows

inline constexpr std::array<CommandDeclaration, kCommandCount> kCommandTable =
    command_rows::describeAll();

constexpr const CommandSignature& signatureOf(const CommandDeclaration& command) {
    return command.signature;
}

constexpr const CommandDeclaration* findCommandByExport(std::string_view exportName) {
    for (const auto& command : kCommandTable) {
        if (command.signature.exportName == exportName) return &command;
    }
    return nullptr;
}

// Every integer result names a node or a portal.
constexpr bool returnsHandle(const CommandDeclaration& command) {
    return command.result == ResultKind::kNewNode || command.result == ResultKind::kNewPortal ||
           command.result == ResultKind::kNode;
}

// Identifiers run from 1 in row order, export names are unique, and every
// declaration is plain enough for a resource script string.
consteval bool tableIsSound() {
    for (std::size_t i = 0; i < kCommandCount; ++i) {
        const CommandDeclaration& command = kCommandTable[i];
        if (command.id != static_cast<int>(i) + 1) return false;
        for (std::size_t j = 0; j < i; ++j) {
            if (kCommandTable[j].signature.exportName == command.signature.exportName) return false;
        }
        for (char c : command.declaration) {
            const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                               (c >= '0' && c <= '9') || c == '_' || c == '%' || c == '[';
            if (!plain) return false;
        }
    }
    return true;
}
static_assert(tableIsSound(), "the command list is out of order or a row is malformed");

}  // namespace tarvo
