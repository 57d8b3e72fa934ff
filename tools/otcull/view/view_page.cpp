#include "view/view_page.h"

#include <fstream>
#include <ostream>
#include <string>

#include "view/json_out.h"
#include "view/page_codes.h"

namespace tarvo {
namespace web {
// The page's parts, as the files in tools/otcull/web/ held them at build time.
extern const std::string_view kViewHtml;
extern const std::string_view kViewCss;
extern const std::string_view kViewJs;
}  // namespace web

namespace {

// Changes as one flat list: id, value, id, value, ...
void writeChanges(JsonOut& json, std::string_view name, const std::vector<ViewChange>& items) {
    json.next(name);
    json.list(items, [&](const ViewChange& c) {
        json.integer(c.id);
        json.raw(",");
        json.integer(c.value);
    });
}

void writeNode(JsonOut& json, const ViewNode& n) {
    json.raw("[");
    json.integer(n.id);
    json.raw(",");
    json.string(n.name);
    for (const int32_t v : {static_cast<int32_t>(n.kind), n.role, n.parent}) {
        json.raw(",");
        json.integer(v);
    }
    for (const float v :
         {n.cornerA.x, n.cornerA.y, n.cornerA.z, n.cornerB.x, n.cornerB.y, n.cornerB.z, n.radius}) {
        json.raw(",");
        json.number(v);
    }
    json.raw(",");
    json.integer(n.line);
    json.raw(",");
    json.list(n.attachments, [&](const OtAttachment& a) {
        json.integer(a.object);
        json.raw(",");
        json.integer(a.limb);
    });
    json.raw("]");
}

void writePortal(JsonOut& json, const ViewPortal& p) {
    json.raw("[");
    json.integer(p.id);
    json.raw(",");
    json.string(p.name);
    for (const int32_t v : {p.zoneA, p.zoneB, p.opening, static_cast<int32_t>(p.line)}) {
        json.raw(",");
        json.integer(v);
    }
    json.raw("]");
}

void writePass(JsonOut& json, const ViewPass& p) {
    json.raw("{");
    json.key("line");
    json.integer(p.line);
    json.next("text");
    json.string(p.lineText);
    json.next("command");
    json.string(p.command);
    json.next("summary");
    json.integer(p.summary);
    json.next("zone");
    json.integer(p.cameraZone);
    json.next("figures");
    const PassCost& c = p.cost;
    json.list(std::initializer_list<uint64_t>{p.objectsShown, p.objectsHidden, c.hostCalls,
                                              c.nodesTested, c.zonesTested, c.boxCorners,
                                              c.portalsMet, c.portalsFollowed},
              [&](uint64_t v) { json.integer(v); });
    json.next("camera");
    if (p.camera) {
        json.list(*p.camera, [&](float v) { json.number(v); });
    } else {
        json.raw("null");
    }
    writeChanges(json, "nodeRecords", p.nodeRecords);
    writeChanges(json, "nodeStates", p.nodeStates);
    writeChanges(json, "nodeWhy", p.nodeWhy);
    writeChanges(json, "portalRecords", p.portalRecords);
    writeChanges(json, "portalStates", p.portalStates);
    writeChanges(json, "portalWhy", p.portalWhy);
    json.raw("}\n");
}

void writeLint(JsonOut& json, const ViewLint& w) {
    json.raw("[");
    json.integer(w.line);
    json.raw(",");
    json.string(w.kind);
    json.raw(",");
    json.string(w.text);
    json.raw(",");
    json.integer(w.node);
    json.raw(",");
    json.integer(w.portal);
    json.raw("]");
}

void writeSessionJson(const ViewSession& session, std::ostream& out) {
    JsonOut json(out);
    json.raw("{");
    json.key("source");
    json.string(session.source);
    json.next("codes");
    writePageCodes(json);
    json.raw("\n");
    json.next("texts");
    json.list(session.texts, [&](const std::string& t) { json.string(t); });
    json.raw("\n");
    json.next("nodes");
    json.list(session.nodes, [&](const ViewNode& n) { writeNode(json, n); });
    json.raw("\n");
    json.next("portals");
    json.list(session.portals, [&](const ViewPortal& p) { writePortal(json, p); });
    json.raw("\n");
    json.next("lint");
    json.list(session.lint, [&](const ViewLint& w) { writeLint(json, w); });
    json.raw("\n");
    json.next("passes");
    json.list(session.passes, [&](const ViewPass& p) { writePass(json, p); });
    json.raw("}");
}

std::string htmlEscaped(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '&':
                escaped += "&amp;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

}  // namespace

// The template marks where each part goes with an HTML comment.
void writeViewPage(const ViewSession& session, std::ostream& out) {
    std::string_view html = web::kViewHtml;
    const struct {
        std::string_view mark;
        void (*write)(const ViewSession&, std::ostream&);
    } parts[] = {
        {"<!--otcull:title-->",
         [](const ViewSession& s, std::ostream& o) { o << htmlEscaped(s.source); }},
        {"<!--otcull:style-->",
         [](const ViewSession&, std::ostream& o) {
             o << "<style>\n" << web::kViewCss << "</style>";
         }},
        {"<!--otcull:data-->",
         [](const ViewSession& s, std::ostream& o) {
             o << "<script type=\"application/json\" id=\"otcull-data\">";
             writeSessionJson(s, o);
             o << "</script>";
         }},
        {"<!--otcull:script-->",
         [](const ViewSession&, std::ostream& o) {
             o << "<script>\n" << web::kViewJs << "</script>";
         }},
    };
    for (const auto& part : parts) {
        const size_t at = html.find(part.mark);
        if (at == std::string_view::npos) continue;
        out << html.substr(0, at);
        part.write(session, out);
        html.remove_prefix(at + part.mark.size());
    }
    out << html;
}

int viewScript(std::istream& in, std::string_view path, std::string_view html, std::ostream& out,
               std::ostream& err) {
    std::ofstream file{std::string(html), std::ios::binary};
    ViewSession session;
    const int status = file ? recordSession(in, path, session, err) : 0;
    writeViewPage(session, file);
    if (!file.flush()) {
        err << "otcull view: cannot write " << html << '\n';
        return 1;
    }
    out << "page of " << session.passes.size() << " passes written to " << html << '\n';
    return status;
}

}  // namespace tarvo
