#include "view/view_page.h"

#include <functional>
#include <ostream>
#include <string>

#include "output/safe_file.h"
#include "output/utf8_path.h"
#include "script_text.h"
#include "view/packed_text.h"
#include "view/page_json.h"
#include "view/progress_note.h"
#include "view/session_recorder.h"

namespace tarvo {
namespace web {
// The page's parts, as the files in tools/otcull/web/ held them at build time.
extern const std::string_view kViewHtml;
extern const std::string_view kViewCss;
extern const std::string_view kViewJs;
extern const std::string_view kPageLoader;
}  // namespace web

namespace {

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
bool writeViewPage(const ViewSession& session, std::ostream& out,
                   const std::function<void(size_t passesWritten)>& progress) {
    std::string_view html = web::kViewHtml;
    bool packedOk = true;
    const struct {
        std::string_view mark;
        std::function<void()> write;
    } parts[] = {
        {"<!--otcull:title-->", [&] { out << htmlEscaped(session.source); }},
        {"<!--otcull:style-->", [&] { out << "<style>\n"
                                          << web::kViewCss << "</style>"; }},
        {"<!--otcull:data-->",
         [&] {
             out << "<script type=\"application/octet-stream\" id=\"otcull-data-packed\">";
             PackedTextBuffer packed(out);
             std::ostream json(&packed);
             writeSessionJson(session, json, progress);
             packedOk = packed.finish();
             out << "</script>\n<script type=\"application/json\" id=\"otcull-data\"></script>";
         }},
        {"<!--otcull:script-->",
         [&] {
             out << "<script type=\"text/plain\" id=\"otcull-script\">\n"
                 << web::kViewJs << "</script>\n<script>\n"
                 << web::kPageLoader << "</script>";
         }},
    };
    for (const auto& part : parts) {
        const size_t at = html.find(part.mark);
        if (at == std::string_view::npos) continue;
        out << html.substr(0, at);
        part.write();
        html.remove_prefix(at + part.mark.size());
    }
    out << html;
    return packedOk && static_cast<bool>(out);
}

int viewScript(std::istream& in, std::string_view path, const PageTarget& page, std::ostream& out,
               std::ostream& err) {
    const std::string prefix = "otcull " + std::string(page.verb) + ": ";
    const std::string refusal = refusalToOverwrite(utf8Path(page.file), page.script);
    if (!refusal.empty()) {
        err << prefix << cannotWrite(page.file, refusal) << '\n';
        return 2;
    }
    ViewSession session;
    const int status = recordSession(in, path, session, err);
    ProgressNote note(err, "otcull " + std::string(page.verb));
    const std::string failure = writeFileSafely(utf8Path(page.file), [&](std::ostream& file) {
        const bool whole = writeViewPage(session, file, [&](size_t written) {
            note.note([&] {
                return "writing the page: pass " + std::to_string(written) + " of " +
                       std::to_string(session.passes.size());
            });
        });
        // A page that could not be packed whole must not replace the old one.
        if (!whole) file.setstate(std::ios::badbit);
    });
    if (!failure.empty()) {
        err << prefix << cannotWrite(page.file, failure) << '\n';
        return 2;
    }
    out << "page of " << session.passes.size() << " passes written to "
        << script::shownText(page.file) << '\n';
    return status;
}

}  // namespace tarvo
