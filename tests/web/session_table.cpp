// Writes as JSON what the page's test plays and compares with: the sessions' table, and what
// the rules and the form say for each case, so the page is held to the same texts without a
// copy of them.
#include "app/notes.h"
#include "app/spoken_results.h"
#include "app/web/web_texts.h"
#include "levels/number.h"
#include "levels/summary.h"
#include "sessions.h"

#include <cstdio>
#include <string>

namespace {

std::string json(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        char escaped[8] = {c, 0};
        if (c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20) {
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
        }
        out += escaped;
    }
    return out + '"';
}

std::string json(const levels::Message& m) {
    return "{\"title\": " + json(m.title) + ", \"text\": " + json(m.text) + "}";
}

std::string idOf(kestrand::layout::Control control) {
    return std::to_string(kestrand::layout::slot(control));
}

} // namespace

int main() {
    using namespace kestrand;
    using layout::Control;
    std::string out = "{\"sessions\": [";
    for (const testing::SessionRow& row : testing::kSessions) {
        const auto& b = row.bands;
        out += std::string(out.back() == '[' ? "" : ",") + "\n{\"name\": " + json(row.name) +
               ", \"entry\": " + json(row.entry) + ", \"bands\": [" + json(b[0]) + ", " +
               json(b[1]) + ", " + json(b[2]) + ", " + json(b[3]) + "], \"spoken\": " +
               json(spokenResults(b)) + ", \"minimized\": " + json(levels::summaryTitle(b[1], b[2], b[3]));
        if (row.refusal) {
            out += ", \"box\": " + json(levels::refusalMessage(*row.refusal, row.entry,
                                                               levels::readTotal(row.entry), "."));
        }
        out += "}";
    }
    // The page's element ids are "kd" and the control's slot.
    out += "],\n\"slots\": {\"bands\": [" + idOf(layout::bandControl(0)) + ", " +
           idOf(layout::bandControl(1)) + ", " + idOf(layout::bandControl(2)) + ", " +
           idOf(layout::bandControl(3)) + "], \"notes\": " + idOf(Control::cmdNotes) +
           ", \"calculate\": " + idOf(Control::cmdCalculate) + ", \"exit\": " +
           idOf(Control::cmdExit) + ", \"entry\": " + idOf(Control::txtVPs) + "},\n\"title\": " +
           json(layout::kTitle) + ", \"inputError\": " + json(levels::keystrokeRefusal()) +
           ", \"notes\": " + json(notesMessage()) + ", \"ended\": " + json(web::kEnded) +
           ", \"startAgain\": " + json(web::kStartAgain) + "}\n";
    std::fputs(out.c_str(), stdout);
}
