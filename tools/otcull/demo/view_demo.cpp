#include "demo/view_demo.h"

#include <sstream>
#include <unordered_map>

#include "demo/demo_scene.h"
#include "demo/demo_walk.h"
#include "text/number_text.h"
#include "trace/tree_walk.h"
#include "view/view_page.h"

namespace tarvo {
namespace {

// Always a float literal, so that -0 stays -0.
std::string floatText(float value) {
    std::string text = script::formatFloat(value);
    if (text.find_first_of(".eIn") == std::string::npos) text += ".0";
    return text;
}

std::string floats(std::initializer_list<float> values) {
    std::string text;
    for (const float v : values) text += ", " + floatText(v);
    return text;
}

// Fitted nodes become plain volumes with the same figures: fitting is a
// snapshot, so the passes decide the same. Siblings keep their order and
// portals theirs, which is all a pass depends on besides the figures.
class TreeAsScript {
public:
    TreeAsScript(const Tree& tree, const DemoScene& scene) : tree_(tree) {
        for (const int32_t room : scene.rooms) {
            std::string name = scene.roomName(room);
            for (char& c : name) c = c == ' ' ? '_' : c;
            names_[tree.nodeIndex(room)] = name;
        }
        names_[tree.nodeIndex(scene.building)] = "building";
        names_[tree.nodeIndex(scene.yard)] = "yard";
    }

    void write(std::ostream& out) {
        for (const NodeIndex n : nodesInTreeOrder(tree_)) writeNode(out, n);
        for (PortalIndex p = 1; p < tree_.portalSlotCount(); ++p) {
            const OtPortal& portal = tree_.portal(p);
            if (portal.state != SlotState::kLive) continue;
            const std::string name = "p" + std::to_string(p);
            out << name << " = OT_AddPortal(" << nameOf(portal.zoneA) << ", "
                << nameOf(portal.zoneB) << ", " << nameOf(portal.portalNode) << ")\n";
            if (portal.disabled) out << "OT_DisablePortal(" << name << ")\n";
        }
    }

private:
    std::string nameOf(NodeIndex n) {
        if (n == kNone) return "0";
        const auto [entry, added] = names_.try_emplace(n, "n" + std::to_string(n));
        return entry->second;
    }

    void writeNode(std::ostream& out, NodeIndex index) {
        const OtNode& n = tree_.node(index);
        out << nameOf(index) << " = ";
        const std::string parent = nameOf(n.parent == kRoot ? kNone : n.parent);
        const Vec3 a = n.cornerA;
        const Vec3 b = n.cornerB;
        if (n.kind == kBox) {
            out << "OT_CreateBox(" << parent << floats({a.x, a.y, a.z, b.x, b.y, b.z});
        } else if (n.kind == kSphere) {
            out << "OT_CreateSphere(" << parent << floats({a.x, a.y, a.z, n.radius});
        } else {
            out << "OT_CreatePoint(" << parent << floats({a.x, a.y, a.z});
        }
        out << ", " << n.role << ")\n";
        for (const OtAttachment& at : tree_.attachments(index)) {
            if (at.limb < 0) {
                out << "OT_AddObject(" << nameOf(index) << ", " << at.object << ")\n";
            } else {
                out << "OT_AddLimb(" << nameOf(index) << ", " << at.object << ", " << at.limb
                    << ")\n";
            }
        }
    }

    const Tree& tree_;
    std::unordered_map<NodeIndex, std::string> names_;
};

void writeFrame(std::ostream& out, const StandInCamera& camera, int frame) {
    out << "\n# frame " << frame << "\ncamera 0 matrices";
    for (const float v : camera.view) out << ' ' << floatText(v);
    for (const float v : camera.projection) out << ' ' << floatText(v);
    out << "\ncamera 0 position";
    for (const float v : camera.position) out << ' ' << floatText(v);
    out << "\nOT_UpdateFrustum()\nOT_CullAll()\n";
}

}  // namespace

std::string demoSessionScript(const DemoRunOptions& options) {
    const DemoWorld world(options.rooms);
    const DemoScene& scene = world.scene;
    std::ostringstream script;
    script << "# otcull demo: " << scene.rooms.size() << " rooms, " << options.frames
           << " frames\n";
    TreeAsScript(world.binding.tree(), scene).write(script);
    StandInCamera camera{};
    const int frames = options.frames;
    for (int frame = 0; frame < frames; ++frame) {
        const double along = frames > 1 ? frame / static_cast<double>(frames - 1) : 0.0;
        placeDemoCamera(camera, world.walk.at(along));
        writeFrame(script, camera, frame);
    }
    return script.str();
}

int writeDemoPage(const DemoRunOptions& options, std::ostream& out, std::ostream& err) {
    std::istringstream script(demoSessionScript(options));
    return viewScript(script, "otcull demo", {options.htmlFile, "demo", {}}, out, err);
}

}  // namespace tarvo
