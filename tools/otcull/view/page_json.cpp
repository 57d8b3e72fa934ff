#include "view/page_json.h"

#include <algorithm>
#include <ostream>

#include "view/json_out.h"
#include "view/page_codes.h"
#include "view/session_lines.h"

namespace tarvo {
namespace {

// The lines of a pass shown with their text: the last ones run before it.
constexpr int kLinesShown = 64;

// Changes sorted by id, written as runs; step is what a value grows by
// from one id to the next in a run (a value of -1 never grows).
void writeRuns(JsonOut& json, std::vector<ViewChange> changes, int32_t step) {
    std::sort(changes.begin(), changes.end(),
              [](const ViewChange& a, const ViewChange& b) { return a.id < b.id; });
    json.raw("[");
    int32_t end = 0;
    for (size_t i = 0; i < changes.size();) {
        const int32_t grows = changes[i].value < 0 ? 0 : step;
        size_t j = i + 1;
        while (j < changes.size() && changes[j].id == changes[j - 1].id + 1 &&
               changes[j].value == changes[j - 1].value + grows) {
            ++j;
        }
        if (i > 0) json.raw(",");
        json.integer(changes[i].id - end);
        json.raw(",");
        json.integer(static_cast<int64_t>(j - i));
        json.raw(",");
        json.integer(changes[i].value);
        end = changes[i].id + static_cast<int32_t>(j - i);
        i = j;
    }
    json.raw("]");
}

// A state and a sentence index as one value, per id, as of the pass being
// written: either may change without the other.
class PackedChannel {
public:
    explicit PackedChannel(int stateBits) : stateBits_(stateBits) {}

    std::vector<ViewChange> pass(const std::vector<ViewChange>& states,
                                 const std::vector<ViewChange>& whys) {
        std::vector<int32_t> ids;
        for (const ViewChange& c : states) set(state_, c, ids);
        for (const ViewChange& c : whys) set(why_, c, ids);
        std::sort(ids.begin(), ids.end());
        ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
        std::vector<ViewChange> packed;
        packed.reserve(ids.size());
        for (const int32_t id : ids) {
            const auto at = static_cast<size_t>(id);
            packed.push_back({id, (std::max(why_[at], 0) << stateBits_) | std::max(state_[at], 0)});
        }
        return packed;
    }

private:
    static void set(std::vector<int32_t>& values, const ViewChange& c, std::vector<int32_t>& ids) {
        if (values.size() <= static_cast<size_t>(c.id)) values.resize(c.id + 1, -1);
        values[static_cast<size_t>(c.id)] = c.value;
        ids.push_back(c.id);
    }

    int stateBits_;
    std::vector<int32_t> state_;
    std::vector<int32_t> why_;
};

void writeNode(JsonOut& json, const ViewNode& n) {
    const Vec3 a = n.cornerA;
    const Vec3 b = n.cornerB;
    json.row(n.id, n.name, n.kind, n.role, n.parent, a.x, a.y, a.z, b.x, b.y, b.z, n.radius, n.line,
             [&] {
                 json.list(n.attachments, [&](const OtAttachment& at) {
                     json.integer(at.object);
                     json.raw(",");
                     json.integer(at.limb);
                 });
             });
}

void writeIntegers(JsonOut& json, const std::vector<int32_t>& values) {
    json.list(values, [&](int32_t v) { json.integer(v); });
}

// [[line, flags, text], ...]: the last lines run up to the pass.
void writeLinesRun(JsonOut& json, const ViewSession& session, const ViewPass& p) {
    json.raw("[");
    const int first = std::max(p.firstLine, p.line - kLinesShown + 1);
    for (int line = std::max(first, 1); line <= p.line; ++line) {
        if (line != std::max(first, 1)) json.raw(",");
        json.row(line, lineChangedSomething(session, line) ? kViewLineChanges : 0,
                 scriptLine(session, line));
    }
    json.raw("]");
}

class PassWriter {
public:
    PassWriter(JsonOut& json, const ViewSession& session) : json_(json), session_(session) {}

    void write(const ViewPass& p) {
        json_.raw("{");
        json_.key("line");
        json_.integer(p.line);
        json_.next("text");
        json_.string(p.lineText);
        json_.next("command");
        json_.string(p.command);
        json_.next("summary");
        json_.integer(p.summary);
        json_.next("zone");
        json_.integer(p.cameraZone);
        json_.next("figures");
        const PassCost& c = p.cost;
        const uint64_t figures[] = {p.objectsShown, p.objectsHidden,  c.hostCalls,
                                    c.nodesTested,  c.zonesTested,    c.boxCorners,
                                    c.portalsMet,   c.portalsFollowed};
        json_.list(figures, [&](uint64_t v) { json_.integer(static_cast<int64_t>(v)); });
        json_.next("camera");
        if (p.camera) {
            json_.list(*p.camera, [&](float v) { json_.number(v); });
        } else {
            json_.raw("null");
        }
        json_.next("nodeRecords");
        writeRuns(json_, p.nodeRecords, 1);
        json_.next("portalRecords");
        writeRuns(json_, p.portalRecords, 1);
        json_.next("nodes");
        writeRuns(json_, nodes_.pass(p.nodeStates, p.nodeWhy), 0);
        json_.next("portals");
        writeRuns(json_, portals_.pass(p.portalStates, p.portalWhy), 0);
        json_.next("ran");
        writeIntegers(json_, {p.firstLine, p.line});
        json_.next("said");
        writeLinesRun(json_, session_, p);
        json_.next("flood");
        json_.raw("[");
        writeIntegers(json_, p.portalsFollowed);
        json_.raw(",");
        writeIntegers(json_, p.zonesReached);
        json_.raw("]}\n");
    }

private:
    JsonOut& json_;
    const ViewSession& session_;
    PackedChannel nodes_{kViewNodeStateBits};
    PackedChannel portals_{ViewPortalState::kBits};
};

// [kind, first pass, last pass, node, object, limb, others, [[line, text], ...]]
void writeEvent(JsonOut& json, const ViewSession& session, const ViewEvent& e) {
    json.row(static_cast<int>(e.kind), e.firstPass, e.lastPass, e.node,
             e.object ? e.object->object : -1, e.object ? e.object->limb : -1, e.others, [&] {
                 json.list(e.lines, [&](int line) { json.row(line, scriptLine(session, line)); });
             });
}

void writeNames(JsonOut& json, const ViewSession& session) {
    json.list(session.names, [&](const auto& track) {
        json.raw("[");
        json.string(track.first);
        for (const ViewNaming& n : track.second) {
            json.raw(",");
            json.integer(n.pass);
            json.raw(",");
            json.integer(n.node);
        }
        json.raw("]");
    });
}

void writeError(JsonOut& json, const std::optional<ViewError>& error) {
    if (!error) {
        json.raw("null");
        return;
    }
    json.raw("{");
    json.key("file");
    json.string(error->file);
    json.next("line");
    json.integer(error->line);
    json.next("message");
    json.string(error->message);
    json.raw("}");
}

}  // namespace

void writeSessionJson(const ViewSession& session, std::ostream& out,
                      const std::function<void(size_t passesWritten)>& progress) {
    JsonOut json(out);
    json.raw("{");
    json.key("source");
    json.string(session.source);
    json.next("codes");
    writePageCodes(json);
    json.next("error");
    writeError(json, session.error);
    json.raw("\n");
    json.next("texts");
    json.list(session.texts, [&](const std::string& t) { json.string(t); });
    json.raw("\n");
    json.next("nodes");
    json.list(session.nodes, [&](const ViewNode& n) { writeNode(json, n); });
    json.raw("\n");
    json.next("portals");
    json.list(session.portals, [&](const ViewPortal& p) {
        json.row(p.id, p.name, p.zoneA, p.zoneB, p.opening, p.line);
    });
    json.raw("\n");
    json.next("lint");
    json.list(session.lint,
              [&](const ViewLint& w) { json.row(w.line, w.kind, w.text, w.node, w.portal); });
    json.raw("\n");
    json.next("events");
    json.list(session.events, [&](const ViewEvent& e) { writeEvent(json, session, e); });
    json.raw("\n");
    json.next("names");
    writeNames(json, session);
    json.raw("\n");
    json.next("passes");
    PassWriter passes(json, session);
    size_t written = 0;
    json.list(session.passes, [&](const ViewPass& p) {
        passes.write(p);
        if (progress) progress(++written);
    });
    json.raw("}");
}

}  // namespace tarvo
