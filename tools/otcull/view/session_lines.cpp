#include "view/session_lines.h"

#include <algorithm>
#include <variant>

#include "script_syntax.h"

namespace tarvo {

int lineCount(const ViewSession& session) {
    return static_cast<int>(session.lineStarts.size());
}

std::string_view scriptLine(const ViewSession& session, int number) {
    if (number < 1 || number > lineCount(session)) return {};
    const std::string_view text = session.script;
    const size_t start = session.lineStarts[static_cast<size_t>(number) - 1];
    std::string_view line = text.substr(start, text.find('\n', start) - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

// A command's effect is known from the run; a host statement's from its
// text alone: it sets a camera or an object, which is a change even when the
// values are those already held.
bool lineChangedSomething(const ViewSession& session, int number) {
    const auto index = static_cast<size_t>(number);
    if (index < session.commandChanged.size() && session.commandChanged[index]) return true;
    const script::ParseResult parsed = script::parseLine(scriptLine(session, number));
    if (!parsed.error.empty()) return false;
    const script::Statement& s = parsed.statement;
    return !std::holds_alternative<script::Blank>(s) &&
           !std::holds_alternative<script::CommandCall>(s) &&
           !std::holds_alternative<script::WritePlanView>(s);
}

std::vector<int> changingLines(const ViewSession& session, int first, int last, size_t most) {
    std::vector<int> lines;
    for (int line = last; line >= std::max(first, 1) && lines.size() < most; --line) {
        if (lineChangedSomething(session, line)) lines.push_back(line);
    }
    std::reverse(lines.begin(), lines.end());
    return lines;
}

}  // namespace tarvo
