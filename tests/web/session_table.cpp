// Writes as JSON what the page's test plays and compares with: the sessions'
// table, and what the rules and the form say for each case, so that the page
// is held to the same texts without a copy of them.
#include "app/notes.h"
#include "app/spoken_results.h"
#include "app/web/web_texts.h"
#include "levels/number.h"
#include "levels/summary.h"
#include "sessions.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace {

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + '"';
}

std::string box(const levels::Message& m) {
    return "{\"title\": " + quoted(m.title) + ", \"text\": " + quoted(m.text) + "}";
}

std::string list(const kestrand::testing::Bands& bands) {
    std::string out = "[";
    for (const std::string& band : bands) {
        out += (out.size() > 1 ? ", " : "") + quoted(band);
    }
    return out + "]";
}

} // namespace

int main() {
    using namespace kestrand;
    std::string out = "{\"sessions\": [\n";
    for (const testing::SessionRow& row : testing::kSessions) {
        out += "  {\"name\": " + quoted(row.name) + ", \"entry\": " + quoted(row.entry) +
               ", \"bands\": " + list(row.bands) + ", \"spoken\": " + quoted(spokenResults(row.bands));
        if (row.refusal) {
            out += ", \"box\": " +
                   box(levels::refusalMessage(*row.refusal, row.entry, levels::readTotal(row.entry), "."));
        } else {
            out += ", \"minimized\": " +
                   quoted(levels::summaryTitle(row.bands[1], row.bands[2], row.bands[3]));
        }
        out += "},\n";
    }
    out.erase(out.size() - 2, 1);
    std::string bands;
    for (int i = 0; i < layout::kBandCount; ++i) {
        bands += (i > 0 ? ", " : "") + std::to_string(layout::slot(layout::bandControl(i)));
    }
    // The page's element ids are "kd" and the control's slot.
    out += "],\n\"slots\": {\"bands\": [" + bands + "], \"notes\": " +
           std::to_string(layout::slot(layout::Control::cmdNotes)) + ", \"calculate\": " +
           std::to_string(layout::slot(layout::Control::cmdCalculate)) + ", \"exit\": " +
           std::to_string(layout::slot(layout::Control::cmdExit)) + ", \"entry\": " +
           std::to_string(layout::slot(layout::Control::txtVPs)) + "}";
    out += ",\n\"title\": " + quoted(layout::kTitle) +
           ",\n\"inputError\": " + box(levels::keystrokeRefusal()) +
           ",\n\"notes\": " + box(notesMessage()) + ",\n\"ended\": " + quoted(web::kEnded) +
           ",\n\"startAgain\": " + quoted(web::kStartAgain) + "}\n";
    std::fputs(out.c_str(), stdout);
    return 0;
}
