// Writes the manual's chapter on the script commands from the command table,
// so that the chapter changes when the table does: one section per
// declaration with its parameters, result, what a bad handle or the wrong
// kind of volume gives, and a one-line example. Built and run on the build
// machine, like resource_gen.
//
// Usage: manual_gen CHAPTER.md     the chapter, in Markdown
//        manual_gen --examples     every section's example as one otcull
//                                  script, after the set-up they assume
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "commands/command_table.h"
#include "commands/windows/command_reference.h"

namespace {

using tarvo::CommandDeclaration;
using tarvo::kCommandTable;

std::vector<std::string_view> parameterNames(const CommandDeclaration& command) {
    const std::size_t count = command.signature.parameters.size();
    return {command.parameterNames.begin(), command.parameterNames.begin() + count};
}

// The parameters as words, "start node" for startNode.
std::string parameterWords(const CommandDeclaration& command) {
    std::string words;
    for (std::string_view name : parameterNames(command)) {
        words += (words.empty() ? "" : ", ") + tarvo::wordsOf(name);
    }
    return words;
}

// What each parameter stands for in the examples; the handles are the names
// the examples' set-up binds.
struct Sample {
    std::string_view parameter;
    std::string_view argument;
};

constexpr Sample kSamples[] = {
    {"parent", "house"},
    {"startNode", "house"},
    {"newParent", "house"},
    {"node", "room"},
    {"portal", "door"},
    {"zoneA", "hall"},
    {"zoneB", "kitchen"},
    {"portalNode", "doorway"},
    {"camera", "1"},
    {"object", "12"},
    {"limb", "1"},
    {"role", "2"},
    {"x", "0"},
    {"y", "1.5"},
    {"z", "-4"},
    {"radius", "2.5"},
    {"xa", "-5"},
    {"ya", "0"},
    {"za", "-5"},
    {"xb", "5"},
    {"yb", "3"},
    {"zb", "5"},
    {"width", "10"},
    {"height", "3"},
    {"depth", "10"},
};

const Sample* sampleFor(std::string_view parameter) {
    for (const Sample& sample : kSamples) {
        if (sample.parameter == parameter) return &sample;
    }
    return nullptr;
}

// The name an example binds the result to: the kind of node a create
// command makes, or the result's own name.
std::string resultName(const CommandDeclaration& command) {
    const std::string_view script = command.signature.scriptName;
    if (command.result == tarvo::ResultKind::kNewPortal) return "door";
    if (command.result == tarvo::ResultKind::kNewNode) {
        for (std::string_view shape : {"Box", "Sphere", "Point"}) {
            if (script.ends_with(shape)) return "new" + std::string(shape);
        }
    }
    return std::string(command.resultName);
}

std::string example(const CommandDeclaration& command) {
    std::string call = std::string(command.signature.scriptName) + "(";
    const std::vector<std::string_view> names = parameterNames(command);
    for (std::size_t i = 0; i < names.size(); ++i) {
        call += (i == 0 ? "" : ", ") + std::string(sampleFor(names[i])->argument);
    }
    call += ")";
    return command.signature.result == 0 ? call : resultName(command) + " = " + call;
}

std::string badHandle(const CommandDeclaration& command) {
    const std::string_view kinds = command.parameterKinds;
    const bool takesHandle = kinds.find_first_of("NP") != std::string_view::npos;
    if (!takesHandle) return "does not apply: it takes no handle.";
    const char result = command.signature.result;
    return std::string("a handle that names nothing live (deleted, never issued, or a portal ") +
           "where a node is wanted and the other way round) makes it do nothing" +
           (result == 0     ? "."
            : result == 'F' ? " and return 0.0."
                            : " and return 0.");
}

struct KindNote {
    std::string_view exportName;
    std::string_view note;
};

// Every node keeps two corners and a radius whatever its kind; these
// commands read or write the figures of one kind.
constexpr std::string_view kCentreCorner =
    "on a sphere or point, its centre's coordinate (corner A holds the centre).";
constexpr std::string_view kSecondCorner =
    "on a sphere or point, 0 unless OT_SetBox gave it a second corner.";
constexpr std::string_view kExtent =
    "on a sphere or point, corner B minus corner A all the same: a sphere centred at "
    "x = 1 is -1 wide.";
constexpr KindNote kKindNotes[] = {
    {"OT_SetBox",
     "on a sphere or point, corner A becomes its centre, so it moves there; corner B is kept "
     "and used by nothing."},
    {"OT_SetBoxSize",
     "on a sphere or point, the corners are set around its centre, so the centre moves back by "
     "half the size along each axis."},
    {"OT_SetRadius", "on a box or point, kept and read back by OT_GetRadius; culling ignores it."},
    {"OT_GetRadius", "on a box or point, 0 unless OT_SetRadius kept one."},
    {"OT_GetBoxWidth", kExtent},
    {"OT_GetBoxHeight", kExtent},
    {"OT_GetBoxDepth", kExtent},
    {"OT_GetBoxXA", kCentreCorner},
    {"OT_GetBoxYA", kCentreCorner},
    {"OT_GetBoxZA", kCentreCorner},
    {"OT_GetBoxXB", kSecondCorner},
    {"OT_GetBoxYB", kSecondCorner},
    {"OT_GetBoxZB", kSecondCorner},
};

std::string_view kindNote(std::string_view exportName) {
    for (const KindNote& kind : kKindNotes) {
        if (kind.exportName == exportName) return kind.note;
    }
    return {};
}

// The contents list names a command; one of several lists of the same name
// also gives its number of parameters.
std::string contentsLabel(const CommandDeclaration& command) {
    const std::string_view script = command.signature.scriptName;
    int lists = 0;
    for (const CommandDeclaration& other : kCommandTable) {
        lists += other.signature.scriptName == script ? 1 : 0;
    }
    const std::size_t count = command.signature.parameters.size();
    return std::string(script) + (lists == 1 ? "" : " (" + std::to_string(count) + ")");
}

std::string section(const CommandDeclaration& command) {
    const std::string exportName(command.signature.exportName);
    const std::string parameters = tarvo::parameterList(command, true);
    const std::string result = tarvo::resultText(command, true);
    std::string text =
        "## " + std::string(command.signature.scriptName) + "(" + parameterWords(command) + ")";
    text += " {#" + exportName + " data-toc-label=\"" + contentsLabel(command) + "\"}\n\n";
    text += std::string(command.reference) + "\n\n";
    text += "- **Parameters:** " + (parameters.empty() ? "none" : parameters) + "\n";
    text += "- **Result:** " + (result.empty() ? "none" : result) + "\n";
    text += "- **Bad handle:** " + badHandle(command) + "\n";
    const std::string_view kind = kindNote(command.signature.exportName);
    if (!kind.empty()) text += "- **Wrong kind of volume:** " + std::string(kind) + "\n";
    text += "- **Export:** `" + exportName + "`, the name otcull's output and journals give it\n";
    text += "- **Example:** `" + example(command) + "`\n\n";
    return text;
}

std::string chapter() {
    std::string text =
        "# Every command\n\n"
        "Types: `int` is a 32-bit signed integer (node and portal handles; object, limb and "
        "camera numbers; roles), `float` a 32-bit float, `0/1` a result that is 1 for yes and 0 "
        "for no. A handle names a node or a portal; 0 names none. Where a command has two "
        "parameter lists, the engine picks the one with as many arguments as the script gives; "
        "each list has a section of its own, under its export name.\n\n"
        "Every node keeps two corners and a radius whatever its kind: a sphere's or point's "
        "centre is its corner A. A setter writes its figures on any kind, a getter reads them "
        "back, and culling uses only those of the node's own kind.\n\n"
        "The examples assume the names `house`, `hall`, `kitchen`, `room` and `doorway` hold "
        "nodes and `door` a portal.\n\n";
    for (const CommandDeclaration& command : kCommandTable) text += section(command);
    return text;
}

// A parameter without a sample or a note on a command the table lacks means
// the table changed under this chapter.
bool describesTable(std::ostream& err) {
    bool described = true;
    for (const CommandDeclaration& command : kCommandTable) {
        for (std::string_view name : parameterNames(command)) {
            if (sampleFor(name) != nullptr) continue;
            err << "manual_gen: no example argument for parameter '" << name << "'\n";
            described = false;
        }
    }
    for (const KindNote& kind : kKindNotes) {
        if (tarvo::findCommandByExport(kind.exportName) != nullptr) continue;
        err << "manual_gen: a note on " << kind.exportName << ", which the table lacks\n";
        described = false;
    }
    return described;
}

// The set-up the examples assume, then every example once, in table order.
std::string exampleScript() {
    std::string text =
        "# Every example of the manual's command chapter, in table order.\n"
        "camera 1 lookat 0 1.5 -20 0 1.5 0 60 1.333 0.5 500\n"
        "object 12 position 0 0 0 min -1 -1 -1 max 1 1 1 radius 1.8\n"
        "limb 12 1 position 0 1 0 min -0.5 -0.5 -0.5 max 0.5 0.5 0.5 radius 0.9\n"
        "house = OT_CreateBox(0, -20, 0, -20, 20, 5, 20, 1)\n"
        "hall = OT_CreateBox(house, -20, 0, -20, 0, 5, 20, 2)\n"
        "kitchen = OT_CreateBox(house, 0, 0, -20, 20, 5, 20, 2)\n"
        "room = OT_CreateBox(hall, -10, 0, -10, -5, 3, -5, 1)\n"
        "doorway = OT_CreateBox(house, -1, 0, 0, 1, 3, 0.2, 1)\n"
        "door = OT_AddPortal(hall, kitchen, doorway)\n";
    for (const CommandDeclaration& command : kCommandTable) text += example(command) + "\n";
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (!describesTable(std::cerr)) return 1;
    if (argc == 2 && std::string_view(argv[1]) == "--examples") {
        std::cout << exampleScript();
        return 0;
    }
    if (argc != 2) {
        std::cerr << "usage: manual_gen CHAPTER.md | --examples\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << chapter();
    if (!out.flush()) {
        std::cerr << "manual_gen: cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
