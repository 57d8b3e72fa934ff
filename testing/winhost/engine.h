// The stand-in engine process: its modules loaded from a folder, the global
// record filled in, and the plug-in loaded beside them. Unloading everything
// in the destructor gives the next script a plug-in and an engine as fresh as
// a new process, at a fraction of what a new process costs under Wine.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "plugin_table.h"
#include "records.h"
#include "script_runner.h"

namespace standin {

struct EngineOptions {
    std::string moduleFolder;  // holds TarvoCore.dll and the others
    std::string pluginPath;
    // The debug module is loaded only after the plug-in's first host link
    // when false, and then on load(); the other modules as the engine does.
    bool debugModuleFirst = true;
    // Whether the global record names the object and camera modules yet.
    bool publishModules = true;
};

class Engine : public tarvo::script::ScriptHost, public tarvo::script::CommandCaller {
public:
    Engine(const EngineOptions& options, std::ostream& switches);
    ~Engine() override;
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Empty when the modules, the plug-in and its command table are all
    // sound; otherwise what is wrong.
    const std::string& faults() const { return faults_; }

    uint32_t call(int id, std::span<const uint32_t> slots) override {
        return table_.call(id, slots);
    }
    uint32_t call(const std::string& exportName, const std::vector<uint32_t>& slots);

    void setCameraMatrices(int32_t camera, const tarvo::script::CameraMatrices& matrices) override;
    void setCameraPosition(int32_t camera, const float position[3]) override;
    void setCurrentCamera(int32_t camera) override { global_->currentCamera = camera; }
    void setObject(int32_t object, const OtBodyFigures& figures) override;
    bool setLimb(int32_t object, int32_t limb, const OtBodyFigures& figures) override;

    void loadDebugModule();
    void publishModules();
    // Switches that reached a module other than the debug module.
    int strayCalls() const { return strayCalls_; }

private:
    HMODULE loadModule(const char* file);
    static void __cdecl onSwitch(int32_t op, int32_t object, int32_t limb);

    EngineOptions options_;
    std::ostream& switches_;
    std::string faults_;
    HMODULE core_ = nullptr;
    HMODULE objects_ = nullptr;
    HMODULE cameras_ = nullptr;
    HMODULE debug_ = nullptr;
    HMODULE plugin_ = nullptr;
    GlobalRecord* global_ = nullptr;
    StandinCameraRecordFn cameraRecord_ = nullptr;
    StandinObjectRecordFn objectRecord_ = nullptr;
    StandinLimbRecordFn limbRecord_ = nullptr;
    PluginTable table_;
    int strayCalls_ = 0;

    static Engine* current_;  // the switch sink has no context argument
};

}  // namespace standin
