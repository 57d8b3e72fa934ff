#include "view/view_record.h"

#include <algorithm>
#include <array>
#include <bit>
#include <istream>
#include <map>
#include <set>
#include <span>
#include <unordered_map>

#include "commands/state.h"
#include "explain/explain.h"
#include "lint/layout_lint.h"
#include "trace/pass_story.h"
#include "trace/tapped_run.h"

namespace tarvo {
namespace {

// Objects and limbs as the host's switches left them; only those ever
// switched are counted.
class SwitchLedger {
public:
    void apply(script::HostSwitch which, int32_t object, int32_t limb) {
        using script::HostSwitch;
        const bool isLimb = which == HostSwitch::kHideLimb || which == HostSwitch::kShowLimb;
        const bool hide = which == HostSwitch::kHide || which == HostSwitch::kExcludeOn ||
                          which == HostSwitch::kHideLimb;
        const auto [entry, added] = hidden_.try_emplace({object, isLimb ? limb : -1}, hide);
        if (added) {
            ++(hide ? hiddenCount_ : shownCount_);
        } else if (entry->second != hide) {
            entry->second = hide;
            --(hide ? shownCount_ : hiddenCount_);
            ++(hide ? hiddenCount_ : shownCount_);
        }
    }
    uint64_t shown() const { return shownCount_; }
    uint64_t hidden() const { return hiddenCount_; }

private:
    std::map<std::pair<int32_t, int32_t>, bool> hidden_;
    uint64_t shownCount_ = 0;
    uint64_t hiddenCount_ = 0;
};

// Page ids for one kind of handle, with the last value of each channel the
// page was told, so that a pass reports only what differs.
class IdChannels {
public:
    int32_t idOf(Handle handle) {
        const auto [entry, added] = ids_.try_emplace(handle, static_cast<int32_t>(record_.size()));
        if (added) {
            record_.push_back(-1);
            state_.push_back(-1);
            why_.push_back(-1);
            seenInPass_.push_back(-1);
        }
        return entry->second;
    }
    // -1 for a handle the page never saw.
    int32_t find(Handle handle) const {
        const auto found = ids_.find(handle);
        return found == ids_.end() ? -1 : found->second;
    }
    static void set(std::vector<int32_t>& last, int32_t id, int32_t value,
                    std::vector<ViewChange>& changes) {
        if (last[static_cast<size_t>(id)] == value) return;
        last[static_cast<size_t>(id)] = value;
        changes.push_back({id, value});
    }
    // Records each id met in this pass; ids live in the pass before and not
    // met now are gone.
    void meet(int32_t id, int pass) {
        if (record_[static_cast<size_t>(id)] < 0) born_.push_back(id);
        seenInPass_[static_cast<size_t>(id)] = pass;
    }
    // Call after each id met has its record.
    void endPass(int pass, std::vector<ViewChange>& recordChanges) {
        std::vector<int32_t> stillLive;
        for (int32_t id : live_) {
            if (seenInPass_[static_cast<size_t>(id)] == pass) {
                stillLive.push_back(id);
            } else {
                set(record_, id, -1, recordChanges);
            }
        }
        stillLive.insert(stillLive.end(), born_.begin(), born_.end());
        born_.clear();
        live_.swap(stillLive);
    }

    std::vector<int32_t> record_;
    std::vector<int32_t> state_;
    std::vector<int32_t> why_;

private:
    std::unordered_map<Handle, int32_t> ids_;
    std::vector<int> seenInPass_;
    std::vector<int32_t> live_;  // ids with a record, as of the pass before
    std::vector<int32_t> born_;  // ids met in this pass without a record before it
};

// The record still describes the node: kind, role, parent, attachments,
// and the figures by their bits, so that a NaN stays the same NaN. The line
// that made a handle never changes.
bool stillDescribes(const ViewNode& record, const OtNode& n, int32_t parent,
                    std::span<const OtAttachment> attachments) {
    auto bits = [](Vec3 a, Vec3 b, float radius) {
        return std::array<uint32_t, 7>{std::bit_cast<uint32_t>(a.x),   std::bit_cast<uint32_t>(a.y),
                                       std::bit_cast<uint32_t>(a.z),   std::bit_cast<uint32_t>(b.x),
                                       std::bit_cast<uint32_t>(b.y),   std::bit_cast<uint32_t>(b.z),
                                       std::bit_cast<uint32_t>(radius)};
    };
    return record.kind == n.kind && record.role == n.role && record.parent == parent &&
           bits(record.cornerA, record.cornerB, record.radius) ==
               bits(n.cornerA, n.cornerB, n.radius) &&
           std::ranges::equal(record.attachments, attachments);
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

// The meeting in which the pass went through each portal, if it did: a
// portal's story keeps only its last meeting, which may come after.
class PortalPassages : public PassListener {
public:
    explicit PortalPassages(const Tree& tree) : tree_(tree) {}
    void onPassEvent(const PassEvent& event) override {
        if (event.kind == PassEventKind::kPassBegin) {
            passages_.assign(tree_.portalSlotCount(), std::nullopt);
        } else if (event.kind == PassEventKind::kPortal && !passages_[event.portal] &&
                   (event.decision == PortalDecision::kFollowed ||
                    event.decision == PortalDecision::kLeadsOut)) {
            passages_[event.portal] =
                PortalStory{.met = true, .from = event.node, .decision = event.decision};
        }
    }
    // The passage, else the last meeting, else a story of not met.
    PortalStory story(PortalIndex portal, const PassStory& stories) const {
        if (portal < passages_.size() && passages_[portal]) return *passages_[portal];
        return stories.portal(portal);
    }

private:
    const Tree& tree_;
    std::vector<std::optional<PortalStory>> passages_;
};

class SessionRecorder {
public:
    SessionRecorder(TappedRun& run, ViewSession& session)
        : run_(run),
          session_(session),
          story_(cullingState()),
          passages_(cullingState()),
          meter_(cullingState(), &run.session.hostCalls()),
          explainer_(cullingState(), story_, run.runner) {
        run.session.listen(story_);
        run.session.listen(passages_);
        run.session.listen(meter_);
        run.session.watchSwitches([this](script::HostSwitch which, int32_t object, int32_t limb) {
            ledger_.apply(which, object, limb);
        });
        run.tap.afterEachPass([this](const PassRun& pass) { recordPass(pass); });
    }

    // The warnings `otcull lint` gives: checked at each pass and at the end.
    void checkLayout() {
        for (LintWarning& w : lintLayout(cullingState(), run_.tap.facts(), run_.runner)) {
            warnings_.insert(std::move(w));
        }
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
    int32_t text(std::string sentence) {
        const auto [entry, added] =
            texts_.try_emplace(std::move(sentence), static_cast<int32_t>(session_.texts.size()));
        if (added) session_.texts.push_back(entry->first);
        return entry->second;
    }

    int32_t nodeId(NodeIndex index) {
        const Tree& tree = cullingState();
        return index == kNone ? -1 : nodes_.idOf(tree.nodeHandle(index));
    }

    void recordPass(const PassRun& run) {
        const Tree& tree = cullingState();
        const int number = static_cast<int>(session_.passes.size());
        ViewPass pass{};
        pass.line = run.line;
        pass.lineText = std::string(run_.runner.currentLineText());
        pass.command = std::string(run.exportName);
        if (run.start != 0)
            pass.command += "(" + run_.runner.nameOfHandle(static_cast<uint32_t>(run.start)) + ")";
        pass.summary = text(explainer_.passSummary());
        pass.cameraZone = nodeId(story_.cameraZone());
        pass.cost = meter_.cost();
        pass.cost.micros = 0.0;  // the page shows what the pass did, which replays the same
        pass.objectsShown = ledger_.shown();
        pass.objectsHidden = ledger_.hidden();
        pass.camera = cameraOf(tree.frustum());
        for (NodeIndex i = 1; i < tree.nodeSlotCount(); ++i) {
            if (tree.node(i).state == SlotState::kLive) recordNode(i, number, pass);
        }
        nodes_.endPass(number, pass.nodeRecords);
        for (PortalIndex i = 1; i < tree.portalSlotCount(); ++i) {
            if (tree.portal(i).state == SlotState::kLive) recordPortal(i, number, pass);
        }
        portals_.endPass(number, pass.portalRecords);
        session_.passes.push_back(std::move(pass));
        checkLayout();
    }

    static std::optional<std::vector<float>> cameraOf(const OtFrustum& frustum) {
        if (frustum.cameraRecord.position == nullptr) return std::nullopt;
        std::vector<float> figures(frustum.cameraRecord.position,
                                   frustum.cameraRecord.position + 3);
        for (const Plane& p : frustum.planes) figures.insert(figures.end(), {p.a, p.b, p.c, p.d});
        return figures;
    }

    // A new record, named as the script names it now, unless the last one
    // still holds.
    template <typename Record, typename Same, typename Make>
    void keepRecord(IdChannels& ids, std::vector<Record>& records, int32_t id, Handle handle,
                    Same same, Make make, std::vector<ViewChange>& changes) {
        const int32_t last = ids.record_[static_cast<size_t>(id)];
        if (last >= 0 && same(records[static_cast<size_t>(last)])) return;
        Record record = make();
        record.name = run_.runner.nameOfHandle(static_cast<uint32_t>(handle));
        records.push_back(std::move(record));
        IdChannels::set(ids.record_, id, static_cast<int32_t>(records.size() - 1), changes);
    }

    void recordNode(NodeIndex index, int number, ViewPass& pass) {
        const Tree& tree = cullingState();
        const OtNode& n = tree.node(index);
        const Handle handle = tree.nodeHandle(index);
        const int32_t id = nodes_.idOf(handle);
        nodes_.meet(id, number);
        const int32_t parent = nodeId(n.parent);
        const std::span<const OtAttachment> attachments = tree.attachments(index);
        keepRecord(
            nodes_, session_.nodes, id, handle,
            [&](const ViewNode& last) { return stillDescribes(last, n, parent, attachments); },
            [&] {
                return ViewNode{id,
                                {},
                                n.kind,
                                n.role,
                                parent,
                                n.cornerA,
                                n.cornerB,
                                n.radius,
                                run_.tap.lineMade(handle),
                                {attachments.begin(), attachments.end()}};
            },
            pass.nodeRecords);
        const int32_t state = (n.visible ? kViewVisible : 0) |
                              (tree.markedInLastPass(index) ? kViewReached : 0) |
                              (tree.ownPortals(index).empty() ? 0 : kViewOpening);
        IdChannels::set(nodes_.state_, id, state, pass.nodeStates);
        // "lamp: hidden - ..." without the name, which the record holds: the
        // nodes of one room then share their sentences.
        const std::string line = explainer_.explain(index);
        IdChannels::set(nodes_.why_, id, text(line.substr(line.find(": ") + 2)), pass.nodeWhy);
    }

    void recordPortal(PortalIndex index, int number, ViewPass& pass) {
        const Tree& tree = cullingState();
        const OtPortal& p = tree.portal(index);
        const Handle handle = tree.portalHandle(index);
        const int32_t id = portals_.idOf(handle);
        portals_.meet(id, number);
        const ViewPortal record{id,
                                {},
                                nodeId(p.zoneA),
                                nodeId(p.zoneB),
                                nodeId(p.portalNode),
                                run_.tap.lineMade(handle)};
        keepRecord(
            portals_, session_.portals, id, handle,
            [&](const ViewPortal& last) {
                return last.zoneA == record.zoneA && last.zoneB == record.zoneB &&
                       last.opening == record.opening;
            },
            [&] { return record; }, pass.portalRecords);
        const PortalStory story = passages_.story(index, story_);
        const std::optional<uint8_t> decision =
            story.met ? std::optional<uint8_t>(static_cast<uint8_t>(story.decision)) : std::nullopt;
        IdChannels::set(portals_.state_, id, ViewPortalState::code(p.disabled != 0, decision),
                        pass.portalStates);
        IdChannels::set(portals_.why_, id, text(portalWhy(p, story)), pass.portalWhy);
    }

    // Zones go by the names their records took, which costs no search of
    // the script's names.
    std::string portalWhy(const OtPortal& p, const PortalStory& story) {
        std::string why = p.disabled ? "disabled; " : "enabled; ";
        if (!story.met) return why + "not met: neither of its zones was flooded";
        const int32_t zone = nodeId(story.from);
        const int32_t record = zone < 0 ? -1 : nodes_.record_[static_cast<size_t>(zone)];
        const std::string name =
            record < 0 ? "the top level" : session_.nodes[static_cast<size_t>(record)].name;
        return why + "met while flooding " + name + ", " + decisionWords(story.decision);
    }

    TappedRun& run_;
    ViewSession& session_;
    PassStory story_;
    PortalPassages passages_;
    CostMeter meter_;
    Explainer explainer_;
    SwitchLedger ledger_;
    IdChannels nodes_;
    IdChannels portals_;
    std::unordered_map<std::string, int32_t> texts_;
    std::set<LintWarning> warnings_;
};

}  // namespace

int recordSession(std::istream& in, std::string_view path, ViewSession& session,
                  std::ostream& err) {
    session.source = std::string(path);
    std::ostream trace(nullptr);  // the host calls and results are not wanted here
    TappedRun run(trace);
    SessionRecorder recorder(run, session);
    const int status = run.runner.runScript(in, path, err);
    if (const auto& error = run.runner.lastError()) {
        session.error = ViewScriptError{std::string(path), error->line, error->text};
    }
    recorder.finish();
    return status;
}

}  // namespace tarvo
