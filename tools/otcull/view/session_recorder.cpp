#include "view/session_recorder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <istream>
#include <set>
#include <span>
#include <unordered_map>

#include "commands/state.h"
#include "explain/explain.h"
#include "lint/layout_lint.h"
#include "trace/flood_path.h"
#include "trace/pass_cost.h"
#include "trace/switch_ledger.h"
#include "trace/tapped_run.h"
#include "view/name_tracks.h"
#include "view/page_ids.h"
#include "view/progress_note.h"
#include "view/session_events.h"
#include "view/session_lines.h"
#include "view/stale_explanations.h"

namespace tarvo {
namespace {

// The record still describes the node: name, kind, role, parent,
// attachments, and the figures by their bits, so that a NaN stays the same
// NaN. The line that made a handle never changes.
bool stillDescribes(const ViewNode& record, const ViewNode& now) {
    auto bits = [](const ViewNode& r) {
        return std::array<uint32_t, 7>{
            std::bit_cast<uint32_t>(r.cornerA.x), std::bit_cast<uint32_t>(r.cornerA.y),
            std::bit_cast<uint32_t>(r.cornerA.z), std::bit_cast<uint32_t>(r.cornerB.x),
            std::bit_cast<uint32_t>(r.cornerB.y), std::bit_cast<uint32_t>(r.cornerB.z),
            std::bit_cast<uint32_t>(r.radius)};
    };
    return record.name == now.name && record.kind == now.kind && record.role == now.role &&
           record.parent == now.parent && bits(record) == bits(now) &&
           record.attachments == now.attachments;
}

bool stillDescribes(const ViewPortal& record, const ViewPortal& now) {
    return record.name == now.name && record.zoneA == now.zoneA && record.zoneB == now.zoneB &&
           record.opening == now.opening;
}

const char* decisionWords(PortalDecision decision) {
    switch (decision) {
        case PortalDecision::kDisabled:
            return "not followed: it is disabled";
        case PortalDecision::kOpeningHidden:
            return "not followed: its opening was hidden";
        case PortalDecision::kFarSideHandled:
            return "not followed: the far side was already dealt with in this pass";
        case PortalDecision::kLeadsOut:
            return "followed out to the top level";
        case PortalDecision::kLeadsOutAgain:
            return "not followed: it leads out, and the top level was already culled in this "
                   "pass";
        case PortalDecision::kFollowed:
            return "followed to the far side";
    }
    return "";
}

// What a portal's sentence is made of: when none of it changes, neither
// does the sentence.
struct PortalWhyKey {
    int32_t state = -1;
    int32_t from = -1;
    int32_t fromRecord = -1;
    bool operator==(const PortalWhyKey&) const = default;
};

class SessionRecorder {
public:
    SessionRecorder(const Tree& tree, TappedRun& run, ViewSession& session, std::ostream& err)
        : tree_(tree),
          run_(run),
          session_(session),
          story_(tree),
          flood_(tree),
          meter_(tree, &run.session.hostCalls()),
          explainer_(tree, story_, run.runner),
          stale_(tree, story_),
          names_(session.names),
          progress_(err, "otcull view") {
        run.session.listen(story_);
        run.session.listen(flood_);
        run.session.listen(meter_);
        run.session.listen(stale_);
        run.session.watchSwitches([this](script::HostSwitch which, int32_t object, int32_t limb) {
            ledger_.apply(which, object, limb);
        });
        run.runner.watchBindings([this](const std::string& name, uint32_t before, uint32_t after) {
            names_.bound(name);
            touch(before);
            touch(after);
        });
        run.tap.afterEachCommand([this](const TappedCommand& command) { tapped(command); });
        run.tap.afterEachPass([this](const PassRun& pass) { recordPass(pass); });
    }

    void finish() {
        checkLayout();
        std::unordered_map<int, Handle> madeOn;
        for (const auto& [handle, line] : run_.tap.facts().madeAt) madeOn[line] = handle;
        for (const LintWarning& w : warnings_) {
            const auto made = madeOn.find(w.line);
            const Handle handle = made == madeOn.end() ? 0 : made->second;
            session_.lint.push_back({w.line, std::string(lintKindName(w.kind)), w.text,
                                     nodes_.find(handle), portals_.find(handle)});
        }
    }

private:
    void touch(Handle handle) {
        if (handle == 0) return;
        stale_.touch(handle);
        touched_.push_back(handle);
    }

    // A command may change the records of the handles it names; those that
    // change the tree or the frustum mark their line for the page.
    void tapped(const TappedCommand& command) {
        if (!command.changesTree && command.scriptName != "OT_UpdateFrustum") return;
        const auto line = static_cast<size_t>(std::max(command.line, 0));
        if (session_.commandChanged.size() <= line) session_.commandChanged.resize(line + 1);
        session_.commandChanged[line] = true;
        if (!command.changesTree) return;
        sweepDue_ = true;
        for (const uint32_t slot : command.slots) touch(slot);
        touch(command.result);
        if (command.scriptName == "OT_HideAll" || command.scriptName == "OT_ShowAll") {
            stale_.touchSubtree(command.slots.empty() ? 0 : command.slots[0]);
        }
    }

    // The warnings `otcull lint` gives, checked again only when a command
    // since the last check may have changed the tree.
    void checkLayout() {
        if (lintedAt_ == run_.tap.treeChanges()) return;
        lintedAt_ = run_.tap.treeChanges();
        for (LintWarning& w : lintLayout(tree_, run_.tap.facts(), run_.runner)) {
            warnings_.insert(std::move(w));
        }
    }

    int32_t text(std::string sentence) {
        const auto [entry, added] =
            texts_.try_emplace(std::move(sentence), static_cast<int32_t>(session_.texts.size()));
        if (added) session_.texts.push_back(entry->first);
        return entry->second;
    }

    int32_t nodeId(NodeIndex index) {
        return index == kNone ? -1 : nodes_.idOf(index, tree_.nodeHandle(index));
    }

    std::string nameOf(Handle handle) const {
        return run_.runner.nameOfHandle(static_cast<uint32_t>(handle));
    }

    // Marks the live slots whose records may have changed since the last
    // pass: those a command named, or whose name was bound.
    void markTouched() {
        ++touchStamp_;
        auto mark = [&](std::vector<uint32_t>& stamps, uint32_t index) {
            if (index == kNone) return;
            if (stamps.size() <= index) stamps.resize(index + 1 + index / 8, 0);
            stamps[index] = touchStamp_;
        };
        for (const Handle h : touched_) {
            mark(nodeTouched_, tree_.nodeIndex(h));
            mark(portalTouched_, tree_.portalIndex(h));
        }
        touched_.clear();
    }
    static bool stamped(const std::vector<uint32_t>& stamps, uint32_t index, uint32_t stamp) {
        return index < stamps.size() && stamps[index] == stamp;
    }

    void recordPass(const PassRun& run) {
        const int number = static_cast<int>(session_.passes.size());
        ViewPass pass{};
        pass.line = run.line;
        pass.firstLine = lastPassLine_ + 1;
        lastPassLine_ = run.line;
        pass.lineText = std::string(scriptLine(session_, run.line));
        pass.command = std::string(run.exportName);
        if (run.start != 0) pass.command += "(" + nameOf(run.start) + ")";
        pass.summary = text(explainer_.passSummary());
        pass.cameraZone = nodeId(story_.cameraZone());
        pass.cost = meter_.cost();
        pass.cost.micros = 0.0;  // the page shows what the pass did, which replays the same
        pass.objectsShown = ledger_.shown();
        pass.objectsHidden = ledger_.hidden();
        pass.objectsSwitched = ledger_.switchedSinceLastCall();
        pass.camera = cameraOf(tree_.frustum());
        pass.treeHasZones = pass.cost.zonesTested > 0;
        markTouched();
        const std::vector<NodeIndex>& stale = stale_.afterPass();
        for (const NodeIndex i : stale_.candidates()) recordNode(i, pass);
        for (PortalIndex i = 1; i < tree_.portalSlotCount(); ++i) {
            if (tree_.portal(i).state == SlotState::kLive) recordPortal(i, pass);
        }
        if (sweepDue_) {
            nodes_.sweep([&](Handle h) { return tree_.nodeIndex(h) != kNone; }, pass.nodeRecords);
            portals_.sweep([&](Handle h) { return tree_.portalIndex(h) != kNone; },
                           pass.portalRecords);
            sweepDue_ = false;
        }
        explain(stale, pass);
        for (const PortalIndex p : flood_.portalsFollowed()) {
            pass.portalsFollowed.push_back(portals_.idOf(p, tree_.portalHandle(p)));
        }
        for (const NodeIndex z : flood_.zonesReached()) pass.zonesReached.push_back(nodeId(z));
        names_.afterPass(number, run_.runner, tree_, nodes_, pass.nodeRecords);
        session_.passes.push_back(std::move(pass));
        checkLayout();
        progress_.note([&] {
            // The script is read as it runs: its length is not known yet.
            return "pass " + std::to_string(number + 1) + " recorded, at line " +
                   std::to_string(run.line);
        });
    }

    // "lamp: hidden - ..." without the name, which the record holds: the
    // nodes of one room then share their sentences.
    void explain(const std::vector<NodeIndex>& stale, ViewPass& pass) {
        for (const NodeIndex index : stale) {
            const std::string line = explainer_.explain(index);
            const int32_t why = text(line.substr(line.find(": ") + 2));
            PageIds::set(nodes_.why_, nodeId(index), why, pass.nodeWhy);
        }
    }

    static std::optional<std::vector<float>> cameraOf(const OtFrustum& frustum) {
        if (frustum.cameraRecord.position == nullptr) return std::nullopt;
        std::vector<float> figures(frustum.cameraRecord.position,
                                   frustum.cameraRecord.position + 3);
        for (const Plane& p : frustum.planes) figures.insert(figures.end(), {p.a, p.b, p.c, p.d});
        return figures;
    }

    // A new record unless the last one still holds.
    template <typename Record>
    static void keepRecord(PageIds& ids, std::vector<Record>& records, Record now,
                           std::vector<ViewChange>& changes) {
        const int32_t last = ids.record_[static_cast<size_t>(now.id)];
        if (last >= 0 && stillDescribes(records[static_cast<size_t>(last)], now)) return;
        records.push_back(std::move(now));
        ids.setRecord(records.back().id, static_cast<int32_t>(records.size() - 1), changes);
    }

    void recordNode(NodeIndex index, ViewPass& pass) {
        const OtNode& n = tree_.node(index);
        const Handle handle = tree_.nodeHandle(index);
        const int32_t id = nodes_.idOf(index, handle);
        const bool isNew = nodes_.record_[static_cast<size_t>(id)] < 0;
        if (isNew || stamped(nodeTouched_, index, touchStamp_)) {
            const std::span<const OtAttachment> attachments = tree_.attachments(index);
            keepRecord(nodes_, session_.nodes,
                       ViewNode{id, nameOf(handle), n.kind, n.role, nodeId(n.parent), n.cornerA,
                                n.cornerB, n.radius, run_.tap.lineMade(handle),
                                std::vector<OtAttachment>(attachments.begin(), attachments.end())},
                       pass.nodeRecords);
        }
        const int32_t state = (n.visible ? kViewVisible : 0) |
                              (tree_.markedInLastPass(index) ? kViewReached : 0) |
                              (tree_.ownPortals(index).empty() ? 0 : kViewOpening);
        PageIds::set(nodes_.state_, id, state, pass.nodeStates);
    }

    void recordPortal(PortalIndex index, ViewPass& pass) {
        const OtPortal& p = tree_.portal(index);
        const Handle handle = tree_.portalHandle(index);
        const int32_t id = portals_.idOf(index, handle);
        const bool isNew = portals_.record_[static_cast<size_t>(id)] < 0;
        if (isNew || stamped(portalTouched_, index, touchStamp_)) {
            keepRecord(portals_, session_.portals,
                       ViewPortal{id, nameOf(handle), nodeId(p.zoneA), nodeId(p.zoneB),
                                  nodeId(p.portalNode), run_.tap.lineMade(handle)},
                       pass.portalRecords);
        }
        const PortalStory story = flood_.story(index, story_);
        const std::optional<uint8_t> decision =
            story.met ? std::optional<uint8_t>(static_cast<uint8_t>(story.decision)) : std::nullopt;
        const int32_t state = ViewPortalState::code(p.disabled != 0, decision);
        PageIds::set(portals_.state_, id, state, pass.portalStates);
        const int32_t from = story.met ? nodeId(story.from) : -1;
        const PortalWhyKey key{state, from,
                               from < 0 ? -1 : nodes_.record_[static_cast<size_t>(from)]};
        if (portalWhyKeys_.size() <= static_cast<size_t>(id)) portalWhyKeys_.resize(id + 1);
        if (portalWhyKeys_[static_cast<size_t>(id)] == key) return;
        portalWhyKeys_[static_cast<size_t>(id)] = key;
        PageIds::set(portals_.why_, id, text(portalWhy(p, story, key.fromRecord)), pass.portalWhy);
    }

    // Zones go by the names their records took, which costs no search of
    // the script's names.
    std::string portalWhy(const OtPortal& p, const PortalStory& story, int32_t fromRecord) {
        std::string why = p.disabled ? "disabled; " : "enabled; ";
        if (!story.met) return why + "not met: neither of its zones was flooded";
        const std::string name =
            fromRecord < 0 ? "the top level" : session_.nodes[static_cast<size_t>(fromRecord)].name;
        return why + "met while flooding " + name + ", " + decisionWords(story.decision);
    }

    const Tree& tree_;
    TappedRun& run_;
    ViewSession& session_;
    PassStory story_;
    FloodPath flood_;
    CostMeter meter_;
    Explainer explainer_;
    StaleExplanations stale_;
    SwitchLedger ledger_;
    PageIds nodes_;
    PageIds portals_;
    NameTracks names_;
    ProgressNote progress_;
    std::vector<Handle> touched_;
    std::vector<uint32_t> nodeTouched_;  // by node index: the touch stamp it last had
    std::vector<uint32_t> portalTouched_;
    uint32_t touchStamp_ = 0;
    std::vector<PortalWhyKey> portalWhyKeys_;  // by portal id
    std::unordered_map<std::string, int32_t> texts_;
    std::set<LintWarning> warnings_;
    std::optional<uint64_t> lintedAt_;
    int lastPassLine_ = 0;
    bool sweepDue_ = false;  // a command may have deleted nodes or portals since the last pass
};

}  // namespace

int recordSession(std::istream& in, std::string_view path, ViewSession& session,
                  std::ostream& err) {
    session.source = std::string(path);
    std::ostream trace(nullptr);  // the host calls and results are not wanted here
    TappedRun run(trace);
    // The page shows the lines between passes: kept as the runner reads them,
    // so the script is never held ahead of its parsing.
    run.runner.watchLines([&session](std::string_view text) {
        session.lineStarts.push_back(session.script.size());
        session.script.append(text);
        session.script.push_back('\n');
    });
    SessionRecorder recorder(cullingState(), run, session, err);
    const int status = run.runner.runScript(in, path, err);
    if (const auto& error = run.runner.lastError()) {
        session.error = ViewError{std::string(path), error->line, error->text};
    }
    recorder.finish();
    session.events = findEvents(session);
    return status;
}

}  // namespace tarvo
