// The page's entry points: the browser's events, reported by page.js in the
// form's terms. Each runs to its end before the page lets the next one in.
#include "app/kestrand_form.h"
#include "app/web/web_services.h"

#include <emscripten/emscripten.h>

#include <string_view>

namespace {

kestrand::web::WebServices ui;
kestrand::Kestrand form(ui);

kestrand::layout::Control control(int slot) {
    return static_cast<kestrand::layout::Control>(slot);
}

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void kd_typed(const char16_t* units, int count) {
    kestrand::web::typeIntoEntry(form,
                                 std::u16string_view(units, static_cast<std::size_t>(count)));
}

EMSCRIPTEN_KEEPALIVE int kd_mayLeaveEntryFor(int slot) {
    return form.mayLeaveEntryFor(control(slot)) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void kd_click(int slot) {
    form.click(control(slot));
}

EMSCRIPTEN_KEEPALIVE void kd_help() {
    form.helpKey();
}

EMSCRIPTEN_KEEPALIVE void kd_visibilityChanged() {
    form.Form_Resize();
}

EMSCRIPTEN_KEEPALIVE void kd_schemeChanged() {
    kestrand::web::paintForScheme();
}

} // extern "C"

int main() {
    kestrand::web::buildWindow();
    kestrand::web::paintForScheme();
    form.Form_Load();
    form.windowShown();
    return 0;
}
