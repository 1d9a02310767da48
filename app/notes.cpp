#include "app/notes.h"

#include <array>
#include <string>

namespace kestrand {
namespace {

constexpr std::array<const char*, 20> kNotes{
    "(1) Raw loss penalties are scaled to be equal to total objective values",
    "and can be modified by use of force loss intolerance levels to increase",
    "or decrease the effects of losses on victory determination.",
    "",
    "Total loss of both forces will result in raw loss penalties for all units,",
    "pro rata per side, exactly equal to the value of all objectives on the map.",
    "",
    "(e.g. If there are 100 VP Objective Points in total and each force is identical,",
    "total losses for each side would equal 50 Loss Points for a combined",
    "Total Loss Value of 100).",
    "",
    "(2) If you minimize the KRD, the caption on the Task Bar will indicate",
    "the Victory Levels. This way, you can have a game open in a",
    "full window without having to switch applications.",
    "",
    "(3) Tested with FEXO 1.06- should work with other WUNA Versions,",
    "though no guarantees!",
    "",
    "(4) This is Version 1.4. If you find any scenarios that produce errors here,",
    "or have any Questions or Suggestions, please contact kestrand@kestrand.org.",
};

} // namespace

levels::Message notesMessage() {
    std::string text = kNotes.front();
    for (std::size_t i = 1; i < kNotes.size(); ++i) {
        text += levels::kLineBreak;
        text += kNotes[i];
    }
    return {text, "FEXO- Scenario Kestrand (Notes)", levels::MessageIcon::Information};
}

} // namespace kestrand
