// The stand-in engine for Windows: loads its modules and TarvoCulling.dll,
// reads the plug-in's command table as the engine's compiler does, and runs
// culling scripts through it, printing what `otcull run` prints on Linux.
//
//   winhost [--plugin DLL] [--modules DIR] [--recording-plugin DLL --journals DIR]
//           [--otcull-runs LIST] suite RESULTS-DIR SCRIPT...
//       the bare and link checks, then each script, leaving NAME.out,
//       NAME.err and NAME.status in RESULTS-DIR; with a recording plug-in,
//       each script once more through it, leaving the same files and the
//       journal NAME.otc in the journals folder; last, otcull's runs in
//       LIST (see otcull_list.h), which may replay those journals
//   winhost ... run SCRIPT...   each script with a freshly loaded plug-in and engine
//   winhost ... bare            the plug-in in a process without the engine
//   winhost ... checks          the host link with engine modules missing or late
//
// Check failures go to stderr, with exit status 1.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <bit>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "engine.h"
#include "otcull_list.h"

namespace {

using standin::Engine;
using standin::EngineOptions;

struct Failures {
    std::string section;
    int count = 0;

    void expect(bool holds, const std::string& what) {
        if (holds) return;
        ++count;
        std::cerr << section << ": " << what << '\n';
    }
};

uint32_t bits(float value) {
    return std::bit_cast<uint32_t>(value);
}

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string ownPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

// "examples/errors/x.otc" -> "examples_errors_x.otc": one flat folder of results.
std::string resultName(const std::string& script) {
    std::string name = script;
    for (char& c : name) {
        if (c == '/' || c == '\\' || c == ':') c = '_';
    }
    return name;
}

bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out.flush());
}

// Runs each script with a freshly loaded plug-in and engine, as `otcull run`
// runs one script per process. Without a results folder the scripts' output
// and errors go to stdout and stderr; with one, each script leaves
// NAME.out, NAME.err and NAME.status there. With a journals folder, a
// recording plug-in journals each script's commands to NAME.otc there: it
// opens the file its environment names when it loads. Returns 1 when the
// harness itself failed, otherwise the last failing script's status.
int runScripts(const EngineOptions& options, const std::vector<std::string>& scripts,
               const std::string& results, const std::string& journals = "") {
    int status = 0;
    for (const std::string& script : scripts) {
        std::ifstream in(script, std::ios::binary);
        if (!in) {
            std::cerr << "winhost: cannot read " << script << '\n';
            return 1;
        }
        // _putenv, not SetEnvironmentVariable: the plug-in reads the C runtime's copy.
        std::string journal = "TARVO_CULLING_JOURNAL=";
        if (!journals.empty()) journal += journals + "\\" + resultName(script);
        _putenv(journal.c_str());
        std::ostringstream out;
        std::ostringstream err;
        int scriptStatus = 0;
        {
            Engine engine(options, out);
            if (!engine.faults().empty()) {
                std::cerr << "winhost: " << engine.faults();
                return 1;
            }
            tarvo::script::ScriptRunner runner(engine, engine, out);
            scriptStatus = runner.runScript(in, script, err);
            if (engine.strayCalls() != 0) {
                std::cerr << "winhost: " << script << ": a switch outside the debug module\n";
                return 1;
            }
        }
        if (results.empty()) {
            std::cout << out.str();
            std::cerr << err.str();
        } else {
            const std::string base = results + "\\" + resultName(script);
            if (!writeFile(base + ".out", out.str()) || !writeFile(base + ".err", err.str()) ||
                !writeFile(base + ".status", std::to_string(scriptStatus) + "\n")) {
                std::cerr << "winhost: cannot write results for " << script << '\n';
                return 1;
            }
        }
        if (scriptStatus != 0) status = scriptStatus;
    }
    std::cout.flush();
    return status;
}

// Without the engine every command must still return, switching nothing.
int bareChecks(const std::string& pluginPath) {
    Failures f{"bare"};
    const HMODULE plugin = LoadLibraryA(pluginPath.c_str());
    f.expect(plugin != nullptr, "plug-in does not load");
    if (!plugin) return 1;
    f.expect(!GetModuleHandleA("TarvoCore.dll") && !GetModuleHandleA("TarvoBasic3DDebug.dll"),
             "engine modules present");
    standin::PluginTable table;
    const std::string faults = table.read(plugin);
    f.expect(faults.empty(), "command table: " + faults);
    if (!faults.empty()) return 1;
    const auto call = [&](const char* name, std::vector<uint32_t> slots) {
        const standin::PluginCommand* command = table.findExport(name);
        return command ? standin::callCdecl(command->address, slots) : 0;
    };
    const uint32_t node =
        call("OT_CreateBox2", {0, bits(-1), bits(-1), bits(-1), bits(1), bits(1), bits(1)});
    f.expect(node != 0, "a plain node needs no engine");
    call("OT_AddObject", {node, 1});
    call("OT_AddLimb", {node, 1, 2});
    call("OT_UpdateFrustum1", {});
    call("OT_UpdateFrustum2", {1});
    f.expect(call("OT_TestPoint", {0, 0, bits(5)}) == 0, "a frustum appeared from nowhere");
    call("OT_CullAll", {});
    call("OT_Cull", {node});
    call("OT_HideAll2", {});
    call("OT_ShowAll1", {node});
    f.expect(call("OT_Visible", {node}) == 1, "show without switches still marks the node");
    f.expect(call("OT_CreateObjectBox2", {0, 1}) == 0, "fitted node without an object");
    f.expect(call("OT_CreateLimbSphere2", {0, 1, 0}) == 0, "fitted node without a limb");
    // Every command once more with all arguments zero.
    for (int id = 1; id <= 61; ++id) {
        const standin::PluginCommand& command = table.command(id);
        const std::vector<uint32_t> zeros(command.parameters.size(), 0);
        standin::callCdecl(command.address, zeros);
    }
    f.expect(!GetModuleHandleA("TarvoCore.dll"), "the plug-in kept the engine's core loaded");
    FreeLibrary(plugin);
    if (f.count == 0) std::cerr << "bare: ok\n";
    return f.count == 0 ? 0 : 1;
}

tarvo::script::CameraMatrices lookAlongZ() {
    return tarvo::script::lookAtMatrices({{0, 0, 0}, {0, 0, 1}, 90.0, 1.0, 1.0, 100.0});
}

// The first host link meets an engine that has not published its object and
// camera modules and has not loaded its debug module yet.
void lateModuleChecks(const EngineOptions& base, Failures& f) {
    EngineOptions options = base;
    options.debugModuleFirst = false;
    options.publishModules = false;
    std::ostringstream switches;
    Engine engine(options, switches);
    f.expect(engine.faults().empty(), engine.faults());
    if (!engine.faults().empty()) return;
    engine.setCameraMatrices(1, lookAlongZ());
    const float eye[3] = {0, 0, 0};
    engine.setCameraPosition(1, eye);
    engine.setCurrentCamera(1);
    const OtBodyFigures figures{{1, 2, 3}, {-1, -1, -1}, {1, 1, 1}, 2.0f};
    engine.setObject(5, figures);

    f.expect(!GetModuleHandleA("TarvoBasic3DDebug.dll"), "debug module loaded too early");
    engine.call("OT_UpdateFrustum1", {});
    f.expect(engine.call("OT_TestPoint", {0, 0, bits(10)}) == 0,
             "frustum taken without the camera module");
    f.expect(engine.call("OT_CreateObjectBox2", {0, 5}) == 0, "object read without its module");

    engine.publishModules();
    engine.call("OT_UpdateFrustum1", {});
    f.expect(engine.call("OT_TestPoint", {0, 0, bits(10)}) == 1, "camera lookup not repeated");
    f.expect(engine.call("OT_TestPoint", {0, 0, bits(-10)}) == 0, "point behind the camera");
    engine.call("OT_UpdateFrustum2", {77});
    f.expect(engine.call("OT_TestPoint", {0, 0, bits(10)}) == 1, "unknown camera changed frustum");
    const uint32_t node = engine.call("OT_CreateObjectBox2", {0, 5});
    f.expect(node != 0, "object lookup not repeated");

    // Loaded after the sweep: its switches stay unbound for good.
    engine.loadDebugModule();
    engine.call("OT_UpdateFrustum1", {});
    engine.call("OT_Hide", {node});
    engine.call("OT_CullAll", {});
    f.expect(switches.str().empty(), "the sweep ran again: " + switches.str());
    f.expect(engine.strayCalls() == 0, "a switch outside the debug module was called");
}

// Records read at their offsets: fitted volumes, switches, the current camera.
void recordChecks(const EngineOptions& options, Failures& f) {
    std::ostringstream switches;
    Engine engine(options, switches);
    f.expect(engine.faults().empty(), engine.faults());
    if (!engine.faults().empty()) return;
    engine.setObject(5, {{1, 2, 3}, {-1, -2, -3}, {4, 5, 6}, 2.5f});
    f.expect(engine.setLimb(5, 1, {{10, 20, 30}, {-2, -2, -2}, {2, 3, 4}, 3.5f}), "limb refused");
    f.expect(!engine.setLimb(6, 0, {}), "limb of a missing object accepted");

    struct Read {
        const char* create;
        std::vector<uint32_t> slots;
        const char* getter;
        float expected;
    };
    const Read reads[] = {
        {"OT_CreateObjectBox2", {0, 5}, "OT_GetBoxXA", 0.0f},
        {"OT_CreateObjectBox2", {0, 5}, "OT_GetBoxYA", 0.0f},
        {"OT_CreateObjectBox2", {0, 5}, "OT_GetBoxZB", 9.0f},
        {"OT_CreateObjectBox2", {0, 5}, "OT_GetBoxYB", 7.0f},
        {"OT_CreateObjectSphere2", {0, 5}, "OT_GetPositionY", 2.0f},
        {"OT_CreateObjectSphere2", {0, 5}, "OT_GetRadius", 2.5f},
        {"OT_CreateLimbBox2", {0, 5, 1}, "OT_GetBoxXA", 8.0f},
        {"OT_CreateLimbBox2", {0, 5, 1}, "OT_GetBoxZB", 34.0f},
        {"OT_CreateLimbSphere2", {0, 5, 1}, "OT_GetPositionZ", 30.0f},
        {"OT_CreateLimbSphere2", {0, 5, 1}, "OT_GetRadius", 3.5f},
    };
    for (const Read& r : reads) {
        const uint32_t node = engine.call(r.create, r.slots);
        const uint32_t got = engine.call(r.getter, {node});
        f.expect(node != 0 && got == bits(r.expected),
                 std::string(r.create) + " then " + r.getter + ": got " +
                     std::to_string(std::bit_cast<float>(got)));
    }
    f.expect(engine.call("OT_CreateLimbBox2", {0, 5, 0}) == 0, "limb 0 has no record");
    f.expect(engine.call("OT_CreateLimbBox2", {0, 5, 0xFFFFFFFFu}) == 0, "negative limb");
    f.expect(engine.call("OT_CreateObjectSphere2", {0, 6}) == 0, "missing object");

    const uint32_t node = engine.call("OT_CreatePoint2", {0, 0, 0, 0});
    engine.call("OT_AddObject", {node, 3});
    engine.call("OT_AddLimb", {node, 4, 2});
    engine.call("OT_Hide", {node});
    engine.call("OT_Show", {node});
    f.expect(
        switches.str() == "Hide 3\nExcludeOn 3\nHideLimb 4 2\nExcludeOff 3\nShow 3\nShowLimb 4 2\n",
        "switches: " + switches.str());
    f.expect(engine.strayCalls() == 0, "a switch outside the debug module was called");

    // The current camera number comes from the global record.
    engine.setCameraMatrices(2, lookAlongZ());
    const float eye[3] = {0, 0, 0};
    engine.setCameraPosition(2, eye);
    engine.setCurrentCamera(2);
    engine.call("OT_UpdateFrustum1", {});
    f.expect(engine.call("OT_TestPoint", {0, 0, bits(10)}) == 1, "current camera not used");
    // The position is read again at every camera test: zone 1 holds it at first.
    // Wholly before the near plane, so only the camera inside it can show it.
    const uint32_t zone = engine.call(
        "OT_CreateBox1", {0, bits(-1), bits(-1), bits(-5), bits(1), bits(1), bits(0.5f), 2});
    engine.call("OT_AddObject", {zone, 8});
    switches.str("");
    engine.call("OT_CullAll", {});
    f.expect(switches.str().find("Show 8") != std::string::npos,
             "zone around the camera not shown");
    const float away[3] = {0, 0, -50};
    engine.setCameraPosition(2, away);
    switches.str("");
    engine.call("OT_CullAll", {});
    f.expect(switches.str().find("Show 8") == std::string::npos, "camera position read only once");
}

int linkChecks(const EngineOptions& options) {
    Failures f{"checks"};
    lateModuleChecks(options, f);
    recordChecks(options, f);
    if (f.count == 0) std::cerr << "checks: ok\n";
    return f.count == 0 ? 0 : 1;
}

int usage() {
    std::cerr << "usage: winhost [--plugin DLL] [--modules DIR] [--recording-plugin DLL --journals "
                 "DIR] [--otcull-runs LIST] suite RESULTS-DIR SCRIPT... | run SCRIPT...\n"
                 "       | bare | checks\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    // The output is compared byte for byte with the Linux runner's.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    EngineOptions options;
    std::string recordingPlugin;
    std::string journals;
    std::string otcullRuns;
    options.pluginPath = folderOf(ownPath()) + "\\TarvoCulling.dll";
    options.moduleFolder = folderOf(ownPath()) + "\\host";
    int arg = 1;
    for (; arg + 1 < argc && argv[arg][0] == '-'; arg += 2) {
        const std::string flag = argv[arg];
        if (flag == "--plugin") {
            options.pluginPath = argv[arg + 1];
        } else if (flag == "--modules") {
            options.moduleFolder = argv[arg + 1];
        } else if (flag == "--recording-plugin") {
            recordingPlugin = argv[arg + 1];
        } else if (flag == "--journals") {
            journals = argv[arg + 1];
        } else if (flag == "--otcull-runs") {
            otcullRuns = argv[arg + 1];
        } else {
            return usage();
        }
    }
    if (arg >= argc) return usage();
    const std::string mode = argv[arg++];
    const std::vector<std::string> scripts(argv + arg, argv + argc);
    if (mode == "bare") return bareChecks(options.pluginPath);
    if (mode == "checks") return linkChecks(options);
    if (mode == "run") return runScripts(options, scripts, "");
    if (mode == "suite" && !scripts.empty()) {
        // One process for everything: each start costs the better part of a
        // minute under Wine on qemu. The bare checks come first, before any
        // engine module is loaded, and every later part unloads what it loaded.
        const int bare = bareChecks(options.pluginPath);
        const int checks = linkChecks(options);
        const std::vector<std::string> scriptsOnly(scripts.begin() + 1, scripts.end());
        bool harnessFailed = runScripts(options, scriptsOnly, scripts.front()) == 1;
        if (!recordingPlugin.empty()) {
            EngineOptions recording = options;
            recording.pluginPath = recordingPlugin;
            harnessFailed =
                runScripts(recording, scriptsOnly, journals, journals) == 1 || harnessFailed;
        }
        if (!otcullRuns.empty()) {
            harnessFailed = standin::runOtcullList(otcullRuns) != 0 || harnessFailed;
        }
        return bare != 0 || checks != 0 || harnessFailed ? 1 : 0;
    }
    return usage();
}
