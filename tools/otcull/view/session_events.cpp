#include "view/session_events.h"

#include <algorithm>
#include <map>
#include <ostream>
#include <set>
#include <tuple>

#include "view/session_lines.h"
#include "view/session_recorder.h"

namespace tarvo {
namespace {

// The lines run from the pass `from` (exclusive) to the pass `to`
// (inclusive) that changed something.
std::vector<int> linesBetween(const ViewSession& session, int from, int to) {
    const int first = from < 0 ? 1 : session.passes[static_cast<size_t>(from)].line + 1;
    return changingLines(session, first, session.passes[static_cast<size_t>(to)].line, kEventLines);
}

// Replays the passes and finds the one-pass flips: a flip at pass k that
// undoes a flip at pass k - 1 of something known at pass k - 2.
class FlickerFinder {
public:
    explicit FlickerFinder(const ViewSession& session) : session_(session) {}

    // Also names the zone each event of no zone left, as the pass before knew it.
    void find(std::vector<ViewEvent>& events) {
        std::multimap<int, size_t> leaving;
        for (size_t i = 0; i < events.size(); ++i) {
            if (events[i].kind == ViewEventKind::kNoZone && events[i].node >= 0) {
                leaving.emplace(events[i].firstPass, i);
            }
        }
        for (size_t k = 0; k < session_.passes.size(); ++k) {
            const ViewPass& pass = session_.passes[k];
            const int number = static_cast<int>(k);
            const auto [first, last] = leaving.equal_range(number);
            for (auto at = first; at != last; ++at) {
                ViewEvent& e = events[at->second];
                const int32_t record = track(e.node).record;
                if (record >= 0) e.name = session_.nodes[static_cast<size_t>(record)].name;
            }
            for (const ViewChange& c : pass.nodeRecords) record(c);
            std::set<HostObject> flickering;
            for (const ViewChange& c : pass.nodeStates) node(c, number, found_);
            group(found_, number, events, flickering);
            for (const ObjectSwitch& s : pass.objectsSwitched) {
                object(s, number, events, flickering);
            }
        }
    }

private:
    struct NodeTrack {
        int32_t record = -1;
        int born = -1;
        bool visible = false;
        int lastFlip = -2;
    };

    NodeTrack& track(int32_t id) {
        if (nodes_.size() <= static_cast<size_t>(id)) nodes_.resize(static_cast<size_t>(id) + 1);
        return nodes_[static_cast<size_t>(id)];
    }

    void record(const ViewChange& c) {
        NodeTrack& t = track(c.id);
        t.record = c.value;
    }

    ViewEvent flicker(bool shown, int pass) const {
        ViewEvent e{};
        e.kind = shown ? ViewEventKind::kFlickerShown : ViewEventKind::kFlickerHidden;
        e.firstPass = e.lastPass = pass;
        e.node = -1;
        e.lines = linesBetween(session_, pass - 1, pass + 1);
        return e;
    }

    struct NodeFlicker {
        int32_t node;
        int32_t parent;
        bool shown;
        int32_t record;
    };

    void node(const ViewChange& c, int pass, std::vector<NodeFlicker>& found) {
        NodeTrack& t = track(c.id);
        const bool visible = (c.value & kViewVisible) != 0;
        if (t.born < 0) {
            t.born = pass;
            t.visible = visible;
            return;
        }
        if (visible == t.visible) return;
        t.visible = visible;
        if (t.lastFlip == pass - 1 && t.born <= pass - 2 && t.record >= 0) {
            const int32_t parent = session_.nodes[static_cast<size_t>(t.record)].parent;
            found.push_back({c.id, parent, !visible, t.record});
        }
        t.lastFlip = pass;
    }

    // The nodes of one parent that flicker together are one event, told by
    // the first; nodes whose parent flickers with them are told by it.
    void group(std::vector<NodeFlicker>& found, int pass, std::vector<ViewEvent>& events,
               std::set<HostObject>& flickering) {
        std::sort(found.begin(), found.end(), [](const NodeFlicker& a, const NodeFlicker& b) {
            return std::tie(a.parent, a.shown, a.node) < std::tie(b.parent, b.shown, b.node);
        });
        std::set<std::pair<int32_t, bool>> flickered;
        for (const NodeFlicker& f : found) {
            flickered.insert({f.node, f.shown});
            for (const OtAttachment& a : session_.nodes[static_cast<size_t>(f.record)].attachments)
                flickering.insert({a.object, a.limb});
        }
        for (size_t i = 0; i < found.size();) {
            size_t j = i + 1;
            while (j < found.size() && found[j].parent == found[i].parent &&
                   found[j].shown == found[i].shown) {
                ++j;
            }
            if (!flickered.contains({found[i].parent, found[i].shown})) {
                ViewEvent e = flicker(found[i].shown, pass - 1);
                e.node = found[i].node;
                e.name = session_.nodes[static_cast<size_t>(found[i].record)].name;
                e.others = static_cast<int>(j - i - 1);
                events.push_back(std::move(e));
            }
            i = j;
        }
        found.clear();
    }

    // An object whose node flickered is told with the node.
    void object(const ObjectSwitch& s, int pass, std::vector<ViewEvent>& events,
                const std::set<HostObject>& flickering) {
        const auto [at, added] = objectFlips_.try_emplace(s.object, pass);
        const int lastFlip = at->second;
        at->second = pass;
        if (added || lastFlip != pass - 1 || pass < 2 || flickering.contains(s.object)) return;
        ViewEvent e = flicker(!s.shown, pass - 1);
        e.object = s.object;
        events.push_back(std::move(e));
    }

    const ViewSession& session_;
    std::vector<NodeTrack> nodes_;
    std::vector<NodeFlicker> found_;
    std::map<HostObject, int> objectFlips_;  // the pass each last switched in
};

void findNoZone(const ViewSession& session, std::vector<ViewEvent>& events) {
    const auto& passes = session.passes;
    auto lost = [&](size_t k) {
        return passes[k].treeHasZones && passes[k].camera && passes[k].cameraZone < 0;
    };
    for (size_t k = 0; k < passes.size(); ++k) {
        if (!lost(k)) continue;
        size_t last = k;
        while (last + 1 < passes.size() && lost(last + 1)) ++last;
        ViewEvent e{};
        e.kind = ViewEventKind::kNoZone;
        e.firstPass = static_cast<int>(k);
        e.lastPass = static_cast<int>(last);
        e.node = k == 0 ? -1 : passes[k - 1].cameraZone;
        e.lines = linesBetween(session, e.firstPass - 1, e.firstPass);
        events.push_back(std::move(e));
        k = last;
    }
}

void findJumps(const ViewSession& session, std::vector<ViewEvent>& events) {
    const auto& passes = session.passes;
    for (size_t k = 1; k < passes.size(); ++k) {
        const uint64_t before = passes[k - 1].objectsShown;
        const uint64_t after = passes[k].objectsShown;
        const uint64_t change = before > after ? before - after : after - before;
        if (change < kJumpFloor || change <= kJumpShare * std::max(before, after)) continue;
        ViewEvent e{};
        e.kind = ViewEventKind::kJump;
        e.firstPass = e.lastPass = static_cast<int>(k);
        e.node = -1;
        e.lines = linesBetween(session, e.firstPass - 1, e.firstPass);
        e.shownBefore = before;
        e.shownAfter = after;
        events.push_back(std::move(e));
    }
}

}  // namespace

std::vector<ViewEvent> findEvents(const ViewSession& session) {
    std::vector<ViewEvent> events;
    findNoZone(session, events);
    FlickerFinder(session).find(events);
    findJumps(session, events);
    std::stable_sort(events.begin(), events.end(), [](const ViewEvent& a, const ViewEvent& b) {
        return a.firstPass < b.firstPass;
    });
    return events;
}

void printEvent(const ViewEvent& e, std::ostream& out) {
    out << "pass " << e.firstPass + 1;
    if (e.lastPass != e.firstPass) out << '-' << e.lastPass + 1;
    const bool shown = e.kind == ViewEventKind::kFlickerShown;
    switch (e.kind) {
        case ViewEventKind::kNoZone:
            out << ": no zone: no zone holds the camera";
            if (e.node >= 0) out << " (it was in " << e.name << ')';
            break;
        case ViewEventKind::kFlickerShown:
        case ViewEventKind::kFlickerHidden:
            out << ": flicker: ";
            if (e.object) {
                out << "object " << e.object->object;
                if (e.object->limb >= 0) out << " limb " << e.object->limb;
            } else {
                out << e.name;
                if (e.others > 0) out << " and " << e.others << " more of the same parent";
            }
            out << (shown ? " shown for one pass between hidden ones"
                          : " hidden for one pass between shown ones");
            break;
        case ViewEventKind::kJump:
            out << ": jump: objects shown " << e.shownBefore << " -> " << e.shownAfter;
            break;
    }
    out << "; changes on lines";
    if (e.lines.empty()) out << " none";
    for (const int line : e.lines) out << ' ' << line;
    out << '\n';
}

int printScriptEvents(std::istream& in, std::string_view path, std::ostream& out,
                      std::ostream& err) {
    ViewSession session;
    const int status = recordSession(in, path, session, err);
    for (const ViewEvent& e : session.events) printEvent(e, out);
    return status;
}

}  // namespace tarvo
