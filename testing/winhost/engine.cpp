#include "engine.h"

#include <algorithm>

#include "commands/command_table.h"

namespace standin {

Engine* Engine::current_ = nullptr;

namespace {

template <typename F>
F entry(HMODULE module, const char* name) {
    return module ? reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)))
                  : nullptr;
}

}  // namespace

Engine::Engine(const EngineOptions& options, std::ostream& switches)
    : options_(options), switches_(switches) {
    current_ = this;
    core_ = loadModule("TarvoCore.dll");
    objects_ = loadModule("TarvoBasic3D.dll");
    cameras_ = loadModule("TarvoCamera.dll");
    if (options_.debugModuleFirst) loadDebugModule();

    using GetGlobPtr = unsigned long(__cdecl*)();
    if (const auto getGlobPtr = entry<GetGlobPtr>(core_, "?GetGlobPtr@@YAKXZ")) {
        global_ = reinterpret_cast<GlobalRecord*>(getGlobPtr());
    } else {
        faults_ += "no global record\n";
    }
    if (global_ && options_.publishModules) publishModules();
    cameraRecord_ = entry<StandinCameraRecordFn>(cameras_, "standin_camera_record");
    objectRecord_ = entry<StandinObjectRecordFn>(objects_, "standin_object_record");
    limbRecord_ = entry<StandinLimbRecordFn>(objects_, "standin_limb_record");
    if (const auto setSink = entry<StandinSetSinkFn>(objects_, "standin_set_switch_sink")) {
        setSink(&onSwitch);
    }
    if (!cameraRecord_ || !objectRecord_ || !limbRecord_)
        faults_ += "host module entries missing\n";

    plugin_ = LoadLibraryA(options_.pluginPath.c_str());
    if (!plugin_) {
        faults_ += "cannot load " + options_.pluginPath + "\n";
        return;
    }
    faults_ += table_.read(plugin_);
    // The engine's compiler would accept any table; this one must be ours.
    for (const auto& declared : tarvo::kCommandTable) {
        if (table_.command(declared.id).declaration != declared.declaration) {
            faults_ +=
                "string " + std::to_string(declared.id) + " differs from the command table\n";
        }
    }
}

Engine::~Engine() {
    // The plug-in first: it holds addresses inside the engine's modules.
    for (HMODULE module : {plugin_, debug_, cameras_, objects_, core_}) {
        if (module) FreeLibrary(module);
    }
    current_ = nullptr;
}

HMODULE Engine::loadModule(const char* file) {
    const std::string path = options_.moduleFolder + "\\" + file;
    const HMODULE module = LoadLibraryA(path.c_str());
    if (!module) faults_ += "cannot load " + path + "\n";
    return module;
}

void Engine::loadDebugModule() {
    if (debug_) return;
    debug_ = loadModule("TarvoBasic3DDebug.dll");
    if (const auto setSink = entry<StandinSetSinkFn>(debug_, "standin_set_switch_sink")) {
        setSink(&onSwitch);
    }
}

void Engine::publishModules() {
    global_->objectModule = objects_;
    global_->cameraModule = cameras_;
}

void __cdecl Engine::onSwitch(int32_t op, int32_t object, int32_t limb) {
    using tarvo::script::HostSwitch;
    if (!current_) return;
    if (op == kStray) {
        ++current_->strayCalls_;
        return;
    }
    tarvo::script::writeSwitch(current_->switches_, static_cast<HostSwitch>(op), object, limb);
}

uint32_t Engine::call(const std::string& exportName, const std::vector<uint32_t>& slots) {
    for (int id = 1; id <= 61; ++id) {
        if (table_.command(id).exportName == exportName) return table_.call(id, slots);
    }
    faults_ += "no command " + exportName + "\n";
    return 0;
}

void Engine::setCameraMatrices(int32_t camera, const tarvo::script::CameraMatrices& matrices) {
    CameraRecord* record = cameraRecord_(camera);
    std::copy(std::begin(matrices.projection), std::end(matrices.projection), record->projection);
    std::copy(std::begin(matrices.view), std::end(matrices.view), record->view);
}

void Engine::setCameraPosition(int32_t camera, const float position[3]) {
    std::copy(position, position + 3, cameraRecord_(camera)->position);
}

void Engine::setObject(int32_t object, const OtBodyFigures& figures) {
    ObjectRecord* record = objectRecord_(object);
    std::copy(figures.position, figures.position + 3, record->position);
    std::copy(figures.boundsMin, figures.boundsMin + 3, record->boundsMin);
    std::copy(figures.boundsMax, figures.boundsMax + 3, record->boundsMax);
    record->radius = figures.radius;
}

bool Engine::setLimb(int32_t object, int32_t limb, const OtBodyFigures& figures) {
    LimbRecord* record = limbRecord_(object, limb);
    if (!record) return false;
    std::copy(figures.position, figures.position + 3, record->position);
    std::copy(figures.boundsMin, figures.boundsMin + 3, record->mesh->boundsMin);
    std::copy(figures.boundsMax, figures.boundsMax + 3, record->mesh->boundsMax);
    record->mesh->radius = figures.radius;
    return true;
}

}  // namespace standin
