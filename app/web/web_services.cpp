#include "app/web/web_services.h"

#include "app/box_text.h"
#include "app/form_layout.h"
#include "app/readable_colours.h"
#include "app/spoken_results.h"
#include "app/web/picture.h"
#include "app/web/web_texts.h"

#include <emscripten/emscripten.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace kestrand::web {
namespace {

// Strings come back from the page as malloc'd UTF-8 behind their byte count,
// so that a NUL typed or pasted into the entry reads as the other windows read it.
std::string taken(char* block) {
    std::uint32_t size = 0;
    std::memcpy(&size, block, sizeof size);
    std::string text(block + sizeof size, size);
    std::free(block);
    return text;
}

// The page's part: page.js, ahead of emscripten's code, defines kd, its elements and helpers.
// clang-format off
EM_JS(char*, js_value, (int slot), { return kd.give(kd.valueOf(slot)); });
EM_JS(void, js_setValue, (int slot, const char* text, int size),
      { kd.setValue(slot, UTF8ToString(text, size)); });
EM_JS(void, js_focus, (int slot), { kd.focus(slot); });
EM_JS(void, js_announce, (const char* text), { kd.announce(UTF8ToString(text)); });
EM_JS(char*, js_title, (), { return kd.give(document.title); });
EM_JS(void, js_setTitle, (const char* text, int size), { document.title = UTF8ToString(text, size); });
EM_JS(int, js_hidden, (), { return document.visibilityState === 'hidden' ? 1 : 0; });
EM_JS(char*, js_decimalSeparator, (), { return kd.give(kd.decimalSeparator()); });
EM_ASYNC_JS(void, js_showMessage,
            (const char* title, const char* text, const char* iconName, const char* iconSign,
             int exclamation, const char* ok),
            {
                await kd.showBox(UTF8ToString(title), UTF8ToString(text), UTF8ToString(iconName),
                                 UTF8ToString(iconSign), exclamation, UTF8ToString(ok));
            });
EM_JS(void, js_end, (const char* ended, const char* startAgain),
      { kd.end(UTF8ToString(ended), UTF8ToString(startAgain)); });
EM_JS(void, js_addControl,
      (int slot, int kind, const char* text, int left, int top, int width, int height,
       int tabStop, int wordWrap, int bold, const char* tip, int namedBy),
      {
          kd.addControl(slot, kind, UTF8ToString(text), left, top, width, height, tabStop,
                        wordWrap, bold, UTF8ToString(tip), namedBy);
      });
EM_JS(void, js_setWindow,
      (int width, int height, const char* fontFamily, double fontPoints,
       const unsigned char* picture, int pictureSize),
      {
          kd.setWindow(width, height, UTF8ToString(fontFamily), fontPoints,
                       HEAPU8.slice(picture, picture + pictureSize));
      });
EM_JS(void, js_paint, (int entryRgb, int bandRgb, int picture),
      { kd.paint(entryRgb, bandRgb, picture); });
EM_JS(void, js_scheme, (int* out), { kd.scheme(out); });
EM_JS(void, js_insert, (int unit), { kd.insert(unit); });
EM_JS(void, js_backspace, (), { kd.backspace(); });
// clang-format on

constexpr int kDpi = 96;

int slotOf(layout::Control control) {
    return static_cast<int>(layout::slot(control));
}

int packed(layout::Rgb rgb) {
    return (rgb.red << 16) | (rgb.green << 8) | rgb.blue;
}

// The control that names another for a screen reader: a band's caption, and
// for the entry the label just before it in reading order, as a Win32 reader
// names an edit. -1 where the control's own text names it.
int namerOf(layout::Control control) {
    for (int i = 0; i < layout::kBandCount; ++i) {
        if (layout::bandControl(i) == control) {
            return slotOf(layout::bandCaptionControl(i));
        }
    }
    if (layout::rowOf(control).kind == layout::Kind::Entry) {
        for (std::size_t i = 1; i < layout::kReadingOrder.size(); ++i) {
            if (layout::kReadingOrder[i] == control) {
                return slotOf(layout::kReadingOrder[i - 1]);
            }
        }
    }
    return -1;
}

void setTitleOfPage(std::string_view title) {
    js_setTitle(title.data(), static_cast<int>(title.size()));
}

std::string bandText(std::int16_t index) {
    return taken(js_value(slotOf(layout::bandControl(index))));
}

} // namespace

std::string WebServices::entryText() const {
    return taken(js_value(slotOf(layout::Control::txtVPs)));
}

void WebServices::setEntryText(std::string_view text) {
    js_setValue(slotOf(layout::Control::txtVPs), text.data(), static_cast<int>(text.size()));
}

void WebServices::setFocus(FocusTarget target) {
    js_focus(slotOf(controlOf(target)));
}

std::string WebServices::bandCaption(std::int16_t index) const {
    return bandText(index);
}

void WebServices::setBandCaption(std::int16_t index, std::string_view caption) {
    js_setValue(slotOf(layout::bandControl(index)), caption.data(),
                static_cast<int>(caption.size()));
}

void WebServices::announceBands() {
    std::array<std::string, layout::kBandCount> bands;
    for (int i = 0; i < layout::kBandCount; ++i) {
        bands[static_cast<std::size_t>(i)] = bandText(static_cast<std::int16_t>(i));
    }
    js_announce(spokenResults(bands).c_str());
}

std::string WebServices::title() const {
    return taken(js_title());
}

void WebServices::setTitle(std::string_view title) {
    setTitleOfPage(title);
}

// A page has no window of its own to minimize: hidden (its browser window
// minimized, or another tab chosen) is what the task bar shows it as.
WindowState WebServices::windowState() const {
    return js_hidden() != 0 ? WindowState::Minimized : WindowState::Normal;
}

std::string WebServices::decimalSeparator() const {
    return taken(js_decimalSeparator());
}

void WebServices::showMessage(const levels::Message& message) {
    const std::string text = shortenedForBox(message.text).value_or(message.text);
    js_showMessage(message.title.c_str(), text.c_str(), std::string(iconName(message.icon)).c_str(),
                   std::string(iconSign(message.icon)).c_str(),
                   message.icon == levels::MessageIcon::Exclamation ? 1 : 0,
                   std::string(kOk).c_str());
}

void WebServices::unloadAndEnd() {
    js_end(std::string(kEnded).c_str(), std::string(kStartAgain).c_str());
}

void buildWindow() {
    setTitleOfPage(layout::kTitle);
    const std::string family = "\"" + std::string(layout::kFontFace) + "\", \"" +
                               std::string(layout::kFontSubstitute) + "\", sans-serif";
    js_setWindow(layout::pixels(layout::kClientWidthTwips, kDpi),
                 layout::pixels(layout::kClientHeightTwips, kDpi), family.c_str(),
                 layout::kFontPoints, kPicture.data(), static_cast<int>(kPicture.size()));
    // Created in reading order, as a reader walks them; the tab stops among
    // them stand in the tab order there.
    for (const layout::Control id : layout::kReadingOrder) {
        const layout::ControlRow& row = layout::rowOf(id);
        const auto px = [](int twips) { return layout::pixels(twips, kDpi); };
        js_addControl(slotOf(id), static_cast<int>(row.kind), std::string(row.text).c_str(),
                      px(row.twips.left), px(row.twips.top), px(row.twips.width),
                      px(row.twips.height), row.tabStop ? 1 : 0, row.wordWrap ? 1 : 0,
                      layout::isBold(row.kind) ? 1 : 0, std::string(row.toolTip).c_str(),
                      namerOf(id));
    }
    js_focus(slotOf(layout::kTabOrder.front()));
}

void paintForScheme() {
    std::array<int, 5> reported{};
    js_scheme(reported.data());
    const auto rgb = [](int packed) {
        return layout::Rgb{static_cast<std::uint8_t>(packed >> 16),
                           static_cast<std::uint8_t>(packed >> 8),
                           static_cast<std::uint8_t>(packed)};
    };
    const FormInk ink = readableInk({.buttonFace = rgb(reported[0]),
                                     .buttonText = rgb(reported[1]),
                                     .windowBackground = rgb(reported[2]),
                                     .windowText = rgb(reported[3]),
                                     .highContrast = reported[4] != 0},
                                    Bar::Web);
    js_paint(packed(ink.entryText), packed(ink.bandText), ink.picture ? 1 : 0);
}

void typeIntoEntry(Kestrand& form, std::u16string_view typed) {
    for (const char16_t unit : typed) {
        const std::int16_t code = form.txtVPs_KeyPress(static_cast<std::int16_t>(unit));
        if (code == '\r') {
            form.enterInEntry();
        } else if (code == '\b') {
            js_backspace();
        } else if (code != 0) {
            js_insert(static_cast<std::uint16_t>(code));
        }
    }
}

} // namespace kestrand::web
