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

using tarvo::kCommandTable;
using tarvo::kCommandWords;

std::vector<std::string_view> parameterNames(std::size_t index) {
    std::vector<std::string_view> names;
    std::string_view list = kCommandWords[index].parameters;
    while (!list.empty()) {
        const std::size_t comma = list.find(", ");
        names.push_back(list.substr(0, comma));
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 2);
    }
    return names;
}

struct Sample {
    std::string_view parameter;
    std::string_view argument;
    bool handle;  // names a node or a portal
};

// What each parameter name stands for in the examples; the handles are the
// names the examples' set-up binds.
constexpr Sample kSamples[] = {
    {"parent", "house", true},
    {"start node", "house", true},
    {"new parent", "house", true},
    {"node", "room", true},
    {"portal", "door", true},
    {"zone A", "hall", true},
    {"zone B", "kitchen", true},
    {"portal node", "doorway", true},
    {"camera", "1", false},
    {"object", "12", false},
    {"limb", "1", false},
    {"role", "2", false},
    {"x", "0", false},
    {"y", "1.5", false},
    {"z", "-4", false},
    {"radius", "2.5", false},
    {"xa", "-5", false},
    {"ya", "0", false},
    {"za", "-5", false},
    {"xb", "5", false},
    {"yb", "3", false},
    {"zb", "5", false},
    {"width", "10", false},
    {"height", "3", false},
    {"depth", "10", false},
};

const Sample* sampleFor(std::string_view parameter) {
    for (const Sample& sample : kSamples) {
        if (sample.parameter == parameter) return &sample;
    }
    return nullptr;
}

// The name an example binds the result to: the kind a create command makes,
// or the result's own word run together ("zone A": zoneA).
std::string resultName(std::size_t index) {
    const std::string_view script = tarvo::signatureOf(kCommandTable[index]).scriptName;
    for (std::string_view shape : {"Box", "Sphere", "Point"}) {
        if (script.starts_with("OT_Create") && script.ends_with(shape)) {
            return "new" + std::string(shape);
        }
    }
    if (script == "OT_AddPortal") return "door";
    std::string name;
    bool upper = false;
    for (char c : kCommandWords[index].result) {
        if (c == ' ') {
            upper = true;
            continue;
        }
        name += upper && c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        upper = false;
    }
    return name;
}

std::string example(std::size_t index) {
    const tarvo::CommandSignature sig = tarvo::signatureOf(kCommandTable[index]);
    std::string call = std::string(sig.scriptName) + "(";
    const std::vector<std::string_view> names = parameterNames(index);
    for (std::size_t i = 0; i < names.size(); ++i) {
        call += (i == 0 ? "" : ", ") + std::string(sampleFor(names[i])->argument);
    }
    call += ")";
    return sig.result == 0 ? call : resultName(index) + " = " + call;
}

bool takesHandle(std::size_t index) {
    for (std::string_view name : parameterNames(index)) {
        const Sample* sample = sampleFor(name);
        if (sample != nullptr && sample->handle) return true;
    }
    return false;
}

std::string badHandle(std::size_t index) {
    if (!takesHandle(index)) return "does not apply: it takes no handle.";
    const bool returns = tarvo::signatureOf(kCommandTable[index]).result != 0;
    return std::string("a handle that names nothing live (deleted, never issued, or a portal ") +
           "where a node is wanted and the other way round) makes it do nothing" +
           (returns ? " and return 0." : ".");
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
std::string contentsLabel(const tarvo::CommandSignature& sig) {
    int lists = 0;
    for (const auto& command : kCommandTable) {
        lists += tarvo::signatureOf(command).scriptName == sig.scriptName ? 1 : 0;
    }
    const std::string name(sig.scriptName);
    return lists == 1 ? name : name + " (" + std::to_string(sig.parameters.size()) + ")";
}

std::string section(std::size_t index) {
    const tarvo::CommandSignature sig = tarvo::signatureOf(kCommandTable[index]);
    const std::string exportName(sig.exportName);
    const std::string parameters = tarvo::parameterList(index, true);
    const std::string result = tarvo::resultText(index, true);
    std::string text = "## " + std::string(sig.scriptName) + "(" +
                       std::string(kCommandWords[index].parameters) + ")";
    text += " {#" + exportName + " data-toc-label=\"" + contentsLabel(sig) + "\"}\n\n";
    text += std::string(kCommandWords[index].what) + "\n\n";
    text += "- **Parameters:** " + (parameters.empty() ? "none" : parameters) + "\n";
    text += "- **Result:** " + (result.empty() ? "none" : result) + "\n";
    text += "- **Bad handle:** " + badHandle(index) + "\n";
    const std::string_view kind = kindNote(sig.exportName);
    if (!kind.empty()) text += "- **Wrong kind of volume:** " + std::string(kind) + "\n";
    text += "- **Export:** `" + exportName + "`, the name otcull's output and journals give it\n";
    text += "- **Example:** `" + example(index) + "`\n\n";
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
    for (std::size_t i = 0; i < kCommandTable.size(); ++i) text += section(i);
    return text;
}

// A parameter without a sample or a note on a command the table lacks means
// the table changed under this chapter.
bool describesTable(std::ostream& err) {
    bool described = true;
    for (std::size_t i = 0; i < kCommandTable.size(); ++i) {
        for (std::string_view name : parameterNames(i)) {
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
    for (std::size_t i = 0; i < kCommandTable.size(); ++i) text += example(i) + "\n";
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
