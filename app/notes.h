// The fixed notes the Notes button shows: how losses score, what the minimized
// title means, and what the calculator was tried with.
#pragma once

#include "levels/message.h"

namespace kestrand {

[[nodiscard]] levels::Message notesMessage();

} // namespace kestrand
