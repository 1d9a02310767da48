// The real Win32 window in this process, driven with the messages Windows
// would send: characters to the entry, keys through the dialog manager,
// presses and clicks on buttons; message boxes are recorded, not shown.
#include "app/form_layout.h"
#include "app/notes.h"
#include "app/readable_colours.h"
#include "app/spoken_results.h"
#include "app/win32/wide_text.h"
#include "app/win32/win32_kestrand.h"
#include "app/win32/win32_services.h"
#include "resource_ids.h"
#include "test_texts.h"

#include "levels/bands.h"
#include "levels/number.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace {

using kestrand::layout::Control;
using kestrand::layout::Kind;
using kestrand::win32::narrow;
using kestrand::win32::windowText;

using kestrand::testing::Bands;
using kestrand::testing::kTitle;
using kestrand::testing::refusalTitle;
using levels::Refusal;
const Bands& kReset = kestrand::testing::kResetBands;

class Win32Window : public testing::Test {
protected:
    Win32Window() {
        drain(); // a quit left by an earlier test's window
        app_.emplace(GetModuleHandleW(nullptr),
                     [this](const levels::Message& m) { messages_.push_back(m); });
        app_->show(SW_SHOWNORMAL);
        // Under Wine the activation that gives the entry the focus can reach the queue
        // after ShowWindow returns, the later the busier the machine: a test starts once
        // the window is active and its entry has the focus.
        EXPECT_TRUE(pumpUntil([this] {
            return GetActiveWindow() == window() && focused(Control::txtVPs);
        })) << "the window was not activated with the focus on the entry";
    }
    ~Win32Window() override {
        app_.reset();
        drain();
    }

    HWND window() const { return app_->window().handle(); }
    HWND control(Control id) const { return app_->window().control(id); }
    std::string entry() const { return windowText(control(Control::txtVPs)); }
    Bands bands() const {
        Bands texts;
        for (int i = 0; i < 4; ++i) {
            texts[static_cast<std::size_t>(i)] =
                windowText(control(kestrand::layout::bandControl(i)));
        }
        return texts;
    }
    std::vector<std::string> titles() const {
        std::vector<std::string> t;
        for (const auto& m : messages_) {
            t.push_back(m.title);
        }
        return t;
    }
    bool focused(Control id) const { return GetFocus() == control(id); }

    // The queue through the window's own step, as the program's loop runs it.
    void pump() {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quitCode_ = static_cast<int>(message.wParam);
                continue;
            }
            app_->window().process(message);
        }
    }
    // The queue through the window's step until done() holds, waiting for each next
    // message; the bound turns a hang into a failure.
    template <typename Done> bool pumpUntil(Done done) {
        const DWORD until = GetTickCount() + 10000;
        pump();
        while (!done()) {
            const auto left = static_cast<LONG>(until - GetTickCount());
            if (left <= 0) {
                return false;
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
            pump();
        }
        return true;
    }
    static void drain() {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    // Characters as TranslateMessage leaves them for the focused control.
    void type(std::string_view characters) {
        for (const char c : characters) {
            PostMessageW(GetFocus(), WM_CHAR, static_cast<unsigned char>(c), 1);
        }
        pump();
    }
    void typeUnit(wchar_t unit) {
        PostMessageW(GetFocus(), WM_CHAR, unit, 1);
        pump();
    }
    void key(UINT virtualKey, bool shift = false) {
        std::array<BYTE, 256> state{};
        GetKeyboardState(state.data());
        state[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(state.data());
        PostMessageW(GetFocus(), WM_KEYDOWN, virtualKey, 1);
        PostMessageW(GetFocus(), WM_KEYUP, virtualKey, 0xC0000001);
        pump();
        state[VK_SHIFT] = 0;
        SetKeyboardState(state.data());
    }
    void click(Control id) {
        SendMessageW(control(id), BM_CLICK, 0, 0);
        pump();
    }
    void mouse(HWND target, UINT down) {
        const LPARAM at = MAKELPARAM(5, 5);
        SendMessageW(target, down, MK_LBUTTON, at);
        SendMessageW(target, WM_LBUTTONUP, 0, at);
        pump();
    }
    void setEntry(std::string_view text) {
        kestrand::win32::setWindowText(control(Control::txtVPs), text);
        SetFocus(control(Control::txtVPs));
        const int end = GetWindowTextLengthW(control(Control::txtVPs));
        SendMessageW(control(Control::txtVPs), EM_SETSEL, static_cast<WPARAM>(end), end);
    }
    // The way to results that is not Enter: total in the entry, a click on Calculate.
    void calculate(std::string_view total) {
        setEntry(total);
        click(Control::cmdCalculate);
        ASSERT_NE(bands()[3], "0") << "no results for " << total;
    }
    // One Tab or Shift+Tab, whichever reaches target from the focus in one step.
    void tabOnceTo(Control target) {
        const auto& stops = kestrand::layout::kTabOrder;
        const bool forward = std::any_of(stops.begin(), stops.end(), [&](Control c) {
            return focused(c) && kestrand::testing::tabGoesFromTo(c, target);
        });
        key(VK_TAB, !forward);
    }
    bool ended() const { return !IsWindow(window()) && quitCode_ == 0; }

    std::optional<kestrand::win32::Win32Kestrand> app_;
    std::vector<levels::Message> messages_;
    std::optional<int> quitCode_;
};

LONG_PTR style(HWND w) {
    return GetWindowLongPtrW(w, GWL_STYLE);
}
LONG_PTR exStyle(HWND w) {
    return GetWindowLongPtrW(w, GWL_EXSTYLE);
}
bool has(LONG_PTR bits, LONG_PTR flag) {
    return (bits & flag) == flag;
}
std::string className(HWND w) {
    std::array<wchar_t, 64> name{};
    const int length = GetClassNameW(w, name.data(), static_cast<int>(name.size()));
    return narrow(std::wstring_view(name.data(), static_cast<std::size_t>(length)));
}
// The display density the prefix was made with, as Windows' scaling sets it.
int systemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}
int px(int twips, int dpi) {
    return MulDiv(twips, dpi, 1440);
}
RECT rectIn(HWND parent, HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// What a control paints into its client area, as it paints it on screen.
class Painted final {
public:
    explicit Painted(HWND control) {
        RECT client{};
        GetClientRect(control, &client);
        width_ = client.right;
        height_ = client.bottom;
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, width_, height_);
        ReleaseDC(nullptr, screen);
        SelectObject(dc_, bitmap_);
        SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_),
                     PRF_CLIENT | PRF_ERASEBKGND);
    }
    ~Painted() {
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    Painted(const Painted&) = delete;
    Painted& operator=(const Painted&) = delete;

    [[nodiscard]] COLORREF at(int x, int y) const { return GetPixel(dc_, x, y); }
    // The top-left pixel, which no caption here reaches.
    [[nodiscard]] COLORREF background() const { return at(0, 0); }
    // The text's colour: the one that stands out most from the background.
    [[nodiscard]] COLORREF ink() const {
        COLORREF best = background();
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                if (contrastOf(at(x, y)) > contrastOf(best)) {
                    best = at(x, y);
                }
            }
        }
        return best;
    }
    [[nodiscard]] double contrast() const { return contrastOf(ink()); }
    // The rightmost column of the text's strokes, leaving out the faint
    // edges of smoothed glyphs: pixels half as far from the background as the ink.
    [[nodiscard]] int strokeRight() const {
        const double stroke = 1.0 + (contrast() - 1.0) / 2;
        for (int x = width_ - 1; x >= 0; --x) {
            for (int y = 0; y < height_; ++y) {
                if (contrastOf(at(x, y)) >= stroke) {
                    return x;
                }
            }
        }
        return -1;
    }

private:
    [[nodiscard]] double contrastOf(COLORREF c) const {
        return kestrand::contrastRatio(rgb(c), rgb(background()));
    }
    static kestrand::layout::Rgb rgb(COLORREF c) {
        return {GetRValue(c), GetGValue(c), GetBValue(c)};
    }

    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// Every rectangle is its twips at dpi, every font 8.25 points at dpi in the
// weight of its kind, and every caption fits inside its control.
void expectLaidOutAt(HWND window, const kestrand::win32::MainWindow& main, int dpi) {
    EXPECT_EQ(main.dpi(), dpi);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, px(8670, dpi));
    EXPECT_EQ(client.bottom, px(4095, dpi));
    for (const auto& row : kestrand::layout::kControls) {
        SCOPED_TRACE(std::string(row.toolTip.substr(0, 40)) + " at " + std::to_string(dpi));
        HWND w = main.control(row.id);
        const RECT rect = rectIn(window, w);
        EXPECT_EQ(rect.left, px(row.twips.left, dpi));
        EXPECT_EQ(rect.top, px(row.twips.top, dpi));
        EXPECT_EQ(rect.bottom - rect.top, px(row.twips.height, dpi));
        if (row.id == Control::lblVPs) {
            // It meets the entry, one pixel under its border at most, and its
            // text stops short of it.
            const RECT entry = rectIn(window, main.control(Control::txtVPs));
            EXPECT_GE(rect.right, entry.left);
            EXPECT_LE(rect.right, entry.left + 1);
            EXPECT_LT(rect.left + Painted(w).strokeRight(), entry.left);
        } else {
            EXPECT_EQ(rect.right - rect.left, px(row.twips.width, dpi));
        }

        LOGFONTW font{};
        const auto handle = reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0));
        ASSERT_NE(GetObjectW(handle, sizeof font, &font), 0);
        EXPECT_EQ(font.lfHeight, -std::lround(8.25 * dpi / 72));
        EXPECT_EQ(font.lfWeight, row.kind == Kind::Button ? FW_NORMAL : FW_BOLD);
        // The bitmap face has a crisp 8-point size at 96 dots per inch only, and only
        // where it is installed for that density; the TrueType twin draws elsewhere.
        const std::string face = narrow(font.lfFaceName);
        if (dpi == 96 && face != "Microsoft Sans Serif") {
            EXPECT_EQ(face, "MS Sans Serif");
        } else {
            EXPECT_EQ(face, "Microsoft Sans Serif");
        }

        // Measured as the control draws it: labels wrap at words, the rest keep one line.
        RECT inside{};
        GetClientRect(w, &inside);
        HDC dc = GetDC(w);
        const HGDIOBJ previous = SelectObject(dc, handle);
        const std::wstring caption = kestrand::win32::widen(windowText(w));
        const bool label = row.kind == Kind::Label || row.kind == Kind::BandLabel;
        RECT needed{0, 0, inside.right, 0};
        DrawTextW(dc, caption.c_str(), -1, &needed,
                  DT_CALCRECT | (label ? DT_WORDBREAK : DT_SINGLELINE));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, previous);
        ReleaseDC(w, dc);
        EXPECT_LE(needed.right, inside.right) << "clipped: " << narrow(caption);
        EXPECT_LE(needed.bottom, inside.bottom) << "clipped: " << narrow(caption);
        EXPECT_LE(needed.bottom, (row.wordWrap ? 2 : 1) * metrics.tmHeight) << narrow(caption);
        EXPECT_EQ(metrics.tmHeight - metrics.tmInternalLeading, -font.lfHeight)
            << face << " is drawn at the size asked for";
    }
}

TEST_F(Win32Window, StartsAsLaidOut) {
    EXPECT_EQ(windowText(window()), kTitle);
    EXPECT_EQ(app_->form().savedCaption(), kTitle) << "loaded before the first showing";
    expectLaidOutAt(window(), app_->window(), systemDpi());
    const LONG_PTR frame = style(window());
    EXPECT_TRUE(has(frame, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX));
    EXPECT_FALSE(frame & WS_MAXIMIZEBOX);
    EXPECT_FALSE(frame & WS_THICKFRAME) << "fixed single border";
    EXPECT_TRUE(focused(Control::txtVPs));
    EXPECT_EQ(entry(), "0");
    EXPECT_EQ(bands(), kReset);
    EXPECT_NE(GetClassLongPtrW(window(), GCLP_HICON), 0);
    EXPECT_TRUE(messages_.empty());
}

TEST_F(Win32Window, EveryControlHasItsClassTextAndStyle) {
    for (const auto& row : kestrand::layout::kControls) {
        SCOPED_TRACE(std::string(row.text) + " " + std::string(row.toolTip.substr(0, 30)));
        HWND w = control(row.id);
        ASSERT_NE(w, nullptr);
        // What a screen reader reads: the caption through WM_GETTEXT.
        std::array<wchar_t, 128> text{};
        const auto length =
            SendMessageW(w, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
        EXPECT_EQ(narrow(std::wstring_view(text.data(), static_cast<std::size_t>(length))),
                  row.text);
        EXPECT_EQ(has(style(w), WS_TABSTOP), row.tabStop);

        switch (row.kind) {
        case Kind::Entry:
            EXPECT_EQ(className(w), "Edit");
            EXPECT_TRUE(has(style(w), ES_RIGHT | ES_AUTOHSCROLL));
            EXPECT_TRUE(has(exStyle(w), WS_EX_CLIENTEDGE));
            break;
        case Kind::Button:
            EXPECT_EQ(className(w), "Button");
            EXPECT_EQ(style(w) & BS_TYPEMASK,
                      row.id == Control::cmdCalculate ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
            break;
        case Kind::Label:
        case Kind::BandLabel:
            EXPECT_EQ(className(w), "Static");
            EXPECT_EQ(style(w) & SS_TYPEMASK, SS_RIGHT);
            EXPECT_TRUE(has(style(w), SS_NOTIFY)) << "or the tooltip never sees the mouse";
            EXPECT_EQ(has(exStyle(w), WS_EX_STATICEDGE), row.kind == Kind::BandLabel);
            break;
        }
    }
}

TEST_F(Win32Window, EveryControlHasItsToolTip) {
    HWND tips = app_->window().controls().toolTips();
    EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 13);
    for (const auto& row : kestrand::layout::kControls) {
        std::array<wchar_t, 1024> text{};
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = window();
        tool.uId = reinterpret_cast<UINT_PTR>(control(row.id));
        tool.lpszText = text.data();
        SendMessageW(tips, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&tool));
        EXPECT_EQ(narrow(text.data()), row.toolTip);
    }
}

TEST_F(Win32Window, LabelsAreOpaqueBandsBlueAndTheEntryRed) {
    for (const auto& row : kestrand::layout::kControls) {
        SCOPED_TRACE(std::string(row.text));
        HWND w = control(row.id);
        HDC dc = GetDC(w);
        SetTextColor(dc, RGB(1, 2, 3));
        const bool entry = row.kind == Kind::Entry;
        if (row.kind == Kind::Button) {
            ReleaseDC(w, dc);
            continue;
        }
        const auto brush = SendMessageW(window(), entry ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC,
                                        reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(w));
        if (entry) {
            EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));
        } else {
            EXPECT_EQ(brush, reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE)));
            EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE));
            EXPECT_EQ(GetTextColor(dc) == RGB(0, 0, 255), row.kind == Kind::BandLabel);
        }
        ReleaseDC(w, dc);
    }
}

void setColours(const std::vector<int>& elements, const std::vector<COLORREF>& colours) {
    ASSERT_TRUE(SetSysColors(static_cast<int>(elements.size()), elements.data(), colours.data()));
}

// High Contrast Black's system colours, which Wine sets without the High
// Contrast flag: the scheme stays, every text reads, the results at 7:1. The
// switch reaches the running window, and so does the switch back.
TEST_F(Win32Window, HighContrastBlackColoursAreReadWithoutTheFlagAndFollowedLive) {
    const std::vector<int> elements{COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_WINDOW, COLOR_WINDOWTEXT};
    std::vector<COLORREF> before;
    for (const int element : elements) {
        before.push_back(GetSysColor(element));
    }
    calculate("200");
    setColours(elements, {RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 0, 0), RGB(255, 255, 255)});
    pump();
    for (const auto& row : kestrand::layout::kControls) {
        if (row.kind == Kind::Button) {
            continue;
        }
        SCOPED_TRACE(std::string(row.text));
        const Painted painted(control(row.id));
        EXPECT_EQ(painted.background(), RGB(0, 0, 0));
        EXPECT_GE(painted.contrast(), row.kind == Kind::BandLabel ? 7.0 : 4.5);
    }
    setColours(elements, before);
    pump();
    EXPECT_EQ(Painted(control(kestrand::layout::bandControl(1))).ink(), RGB(0, 0, 255))
        << "blue again";
}

// At 96 dots per inch drawn at its own size from the top-left corner: each
// pixel of the client area is the picture's at the same place. At other
// densities scaled with the layout, so that it still covers the client area.
TEST_F(Win32Window, PaintsTheBackgroundOverTheClientArea) {
    const auto picture =
        static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_BACKGROUND),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(picture, nullptr);
    BITMAP info{};
    GetObjectW(picture, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 580);
    EXPECT_EQ(info.bmHeight, 276);

    const int dpi = systemDpi();
    RECT client{};
    GetClientRect(window(), &client);
    HDC screen = GetDC(nullptr);
    HDC painted = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, client.right, client.bottom);
    SelectObject(painted, canvas);
    HDC source = CreateCompatibleDC(screen);
    SelectObject(source, picture);
    SendMessageW(window(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(painted), 0);

    // Scaled pixels are blends of their neighbours: compare within a margin.
    const int tolerance = dpi == 96 ? 0 : 96;
    const auto alike = [tolerance](COLORREF a, COLORREF b) {
        return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
               std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
               std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
    };
    std::vector<COLORREF> seen;
    for (const POINT p : {POINT{0, 0}, POINT{577, 272}, POINT{100, 30}, POINT{300, 120},
                          POINT{450, 200}, POINT{20, 250}, POINT{560, 10}}) {
        const COLORREF drawn = GetPixel(painted, MulDiv(p.x, dpi, 96), MulDiv(p.y, dpi, 96));
        const COLORREF original = GetPixel(source, p.x, p.y);
        EXPECT_TRUE(alike(drawn, original))
            << p.x << "," << p.y << ": " << std::hex << drawn << " against " << original;
        seen.push_back(original);
    }
    const COLORREF corner = GetPixel(painted, client.right - 1, client.bottom - 1);
    EXPECT_TRUE(alike(corner, GetPixel(source, 577, 272))) << "the picture covers the corner";
    std::sort(seen.begin(), seen.end());
    EXPECT_GT(std::unique(seen.begin(), seen.end()) - seen.begin(), 2)
        << "the picture must vary where it is sampled, or scaling would go unseen";
    DeleteDC(source);
    DeleteDC(painted);
    DeleteObject(canvas);
    ReleaseDC(nullptr, screen);
    DeleteObject(picture);
}

TEST_F(Win32Window, TypingLetsOnlyDigitsEnterAndBackspaceIn) {
    type("2a0");
    // Ctrl+V, Ctrl+C, Ctrl+X, Esc and minus as characters; then an Arabic-Indic five.
    type("\x16\x03\x18\x1b-");
    typeUnit(L'\x0665');
    type("0");
    EXPECT_EQ(entry(), "0200");
    EXPECT_EQ(titles(), std::vector<std::string>(7, kestrand::testing::inputErrorTitle()));
    messages_.clear();
    type("\b");
    EXPECT_EQ(entry(), "020");
    EXPECT_TRUE(messages_.empty());
}

TEST_F(Win32Window, PlayedSession) {
    type("200");
    click(Control::cmdCalculate);
    EXPECT_EQ(bands(), (Bands{"0-40", " 41-80", " 81-120", " 121+"}));
    // Under Wine the focus a click moves can reach the queue after the click's own messages.
    EXPECT_TRUE(pumpUntil([this] { return focused(Control::cmdExit); }));
    EXPECT_TRUE(messages_.empty());

    ShowWindow(window(), SW_MINIMIZE);
    pump();
    EXPECT_TRUE(IsIconic(window()));
    EXPECT_EQ(windowText(window()), "KRD: MV=41, SV=81, OV=121");
    ShowWindow(window(), SW_RESTORE);
    pump();
    EXPECT_EQ(windowText(window()), kTitle);

    setEntry("5");
    click(Control::cmdCalculate);
    ASSERT_EQ(messages_.size(), 1U);
    EXPECT_EQ(messages_[0], levels::refusalMessage(Refusal::TooLow, "5", 5.0, "."));
    EXPECT_EQ(messages_[0].icon, levels::MessageIcon::Exclamation);
    EXPECT_EQ(entry(), "0");
    EXPECT_EQ(bands(), kReset);
    EXPECT_TRUE(focused(Control::txtVPs));

    ShowWindow(window(), SW_MINIMIZE);
    pump();
    EXPECT_EQ(windowText(window()), kTitle) << "the bands were reset";
    ShowWindow(window(), SW_RESTORE);
    EXPECT_TRUE(pumpUntil([this] { return focused(Control::txtVPs); }))
        << "restoring gives the focus back";
}

TEST_F(Win32Window, EnterCalculatesWithoutCheckingTwiceAndThenWorksTheFocusedButton) {
    type("10");
    key(VK_RETURN);
    EXPECT_EQ(bands(), (Bands{"0-2", " 3-4", " 5-6", " 7+"}));
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(style(control(Control::cmdExit)) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(style(control(Control::cmdCalculate)) & BS_TYPEMASK, BS_PUSHBUTTON);
    key(VK_RETURN);
    EXPECT_TRUE(ended());
}

TEST_F(Win32Window, ACarriageReturnCharacterWorksTheDefaultButton) {
    type("13\r");
    EXPECT_EQ(bands(), (Bands{"0-3", " 4-5", " 6-8", " 9+"}));
    EXPECT_EQ(entry(), "013");
}

// A refused press never reaches the button: no click, and the focus stays.
struct PressRow {
    const char* name;
    Control button;
    UINT press; // 0: BM_CLICK
};

class RefusedPress : public Win32Window, public testing::WithParamInterface<PressRow> {};

TEST_P(RefusedPress, KeepsTheFocusAndDropsTheClick) {
    const PressRow& row = GetParam();
    setEntry("5");
    if (row.press == 0) {
        click(row.button);
    } else {
        mouse(control(row.button), row.press);
    }
    EXPECT_EQ(titles(), std::vector<std::string>{refusalTitle(Refusal::TooLow)});
    EXPECT_TRUE(focused(Control::txtVPs));
    EXPECT_EQ(entry(), "0");
    EXPECT_EQ(bands(), kReset);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, RefusedPress,
    testing::Values(PressRow{"CalculateClick", Control::cmdCalculate, 0},
                    PressRow{"CalculatePress", Control::cmdCalculate, WM_LBUTTONDOWN},
                    PressRow{"CalculateDoubleClick", Control::cmdCalculate, WM_LBUTTONDBLCLK},
                    PressRow{"NotesClick", Control::cmdNotes, 0},
                    PressRow{"NotesDoubleClick", Control::cmdNotes, WM_LBUTTONDBLCLK}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Win32Window, APressThatPassesTheCheckClicks) {
    setEntry("10");
    mouse(control(Control::cmdCalculate), WM_LBUTTONDOWN);
    EXPECT_EQ(bands(), (Bands{"0-2", " 3-4", " 5-6", " 7+"}));
    EXPECT_TRUE(pumpUntil([this] { return focused(Control::cmdExit); }));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(Win32Window, NotesShowForATotalThatPasses) {
    setEntry("200");
    click(Control::cmdNotes);
    ASSERT_EQ(messages_.size(), 1U);
    EXPECT_EQ(messages_[0], kestrand::notesMessage());
    EXPECT_EQ(entry(), "200");
    EXPECT_EQ(bands(), kReset);
    EXPECT_TRUE(focused(Control::cmdNotes));
}

TEST_F(Win32Window, F1ShowsTheNotesWithoutACheckAndTypesNothing) {
    for (const Control focus : {Control::txtVPs, Control::cmdExit}) {
        messages_.clear();
        SetFocus(control(focus));
        key(VK_F1);
        ASSERT_EQ(messages_.size(), 1U);
        EXPECT_EQ(messages_[0], kestrand::notesMessage());
        EXPECT_TRUE(focused(focus));
    }
    EXPECT_EQ(entry(), "0");
}

// Round the layout's tab order and one step back; Esc anywhere does nothing.
TEST_F(Win32Window, TabFollowsTheTabOrderAndEscapeDoesNothing) {
    const auto& order = kestrand::layout::kTabOrder;
    setEntry("200");
    for (std::size_t i = 1; i <= order.size(); ++i) {
        key(VK_ESCAPE);
        key(VK_TAB);
        EXPECT_TRUE(focused(order[i % order.size()])) << i;
    }
    EXPECT_TRUE(IsWindow(window()));
    key(VK_TAB, true);
    EXPECT_TRUE(focused(order.back()));
    EXPECT_TRUE(messages_.empty());
    // Space works the button that holds the focus.
    for (std::size_t i = 0; i < order.size() && !focused(Control::cmdCalculate); ++i) {
        key(VK_TAB);
    }
    key(VK_SPACE);
    EXPECT_EQ(bands()[3], " 121+");
    EXPECT_TRUE(focused(Control::cmdExit));
}

TEST_F(Win32Window, TabToCalculateChecksTheEntryButTabToExitDoesNot) {
    tabOnceTo(Control::cmdCalculate);
    EXPECT_EQ(titles(), std::vector<std::string>{refusalTitle(Refusal::Zero)});
    EXPECT_TRUE(focused(Control::txtVPs));
    setEntry("5");
    tabOnceTo(Control::cmdExit);
    EXPECT_TRUE(focused(Control::cmdExit));
    EXPECT_EQ(messages_.size(), 1U);
    mouse(control(Control::cmdExit), WM_LBUTTONDOWN);
    EXPECT_TRUE(ended());
}

TEST_F(Win32Window, ClickingALabelDoesNothing) {
    mouse(control(Control::lblNumber1), WM_LBUTTONDOWN);
    mouse(control(Control::lblVPs), WM_LBUTTONDOWN);
    EXPECT_TRUE(focused(Control::txtVPs));
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(bands(), kReset);
}

TEST_F(Win32Window, TheCloseBoxEndsTheProgram) {
    SendMessageW(window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    pump();
    EXPECT_TRUE(ended());
    EXPECT_TRUE(messages_.empty());
}

// The real box, closed from inside its own modal loop once it is up.
struct Seen final {
    std::string title;
    std::vector<std::string> texts;
    std::vector<HICON> icons;
};
Seen* gSeen = nullptr;

BOOL CALLBACK collectChild(HWND child, LPARAM) {
    gSeen->texts.push_back(windowText(child));
    if (const auto icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0))) {
        gSeen->icons.push_back(icon);
    }
    return TRUE;
}

void CALLBACK closeTheBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = GetActiveWindow();
    if (box == nullptr || className(box) != "#32770") {
        return;
    }
    KillTimer(nullptr, timer);
    gSeen->title = windowText(box);
    EnumChildWindows(box, collectChild, 0);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

struct BoxRow {
    const char* name;
    levels::MessageIcon icon;
    LPCWSTR systemIcon;
};

class MessageBoxShown : public testing::TestWithParam<BoxRow> {};

TEST_P(MessageBoxShown, WithItsTitleTextAndIcon) {
    Seen seen;
    gSeen = &seen;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, closeTheBox);
    kestrand::win32::showMessageBox(nullptr, {"first\r\nsecond", "A Title", GetParam().icon});
    KillTimer(nullptr, timer);
    gSeen = nullptr;
    EXPECT_EQ(seen.title, "A Title");
    EXPECT_NE(std::find(seen.texts.begin(), seen.texts.end(), "first\r\nsecond"), seen.texts.end());
    const HICON expected = LoadIconW(nullptr, GetParam().systemIcon);
    EXPECT_NE(std::find(seen.icons.begin(), seen.icons.end(), expected), seen.icons.end());
}

INSTANTIATE_TEST_SUITE_P(
    Icons, MessageBoxShown,
    testing::Values(BoxRow{"Exclamation", levels::MessageIcon::Exclamation, IDI_EXCLAMATION},
                    BoxRow{"Information", levels::MessageIcon::Information, IDI_INFORMATION}),
    [](const auto& info) { return std::string(info.param.name); });

// Moved to a monitor of another density, as Windows tells a per-monitor aware
// window: it takes the suggested rectangle and lays itself out again.
class DpiChange : public Win32Window, public testing::WithParamInterface<int> {
protected:
    void moveToDpi(int dpi) {
        RECT frame{};
        GetWindowRect(window(), &frame);
        RECT client{};
        GetClientRect(window(), &client);
        // The frame keeps its thickness; the client area is the layout's at dpi.
        RECT suggested{frame.left, frame.top, frame.right + px(8670, dpi) - client.right,
                       frame.bottom + px(4095, dpi) - client.bottom};
        SendMessageW(window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        pump();
    }
};

TEST_P(DpiChange, LaysTheWindowOutAgainAndTheSessionStillHolds) {
    const int dpi = GetParam();
    moveToDpi(dpi);
    // The widest band texts a typed total gives.
    calculate("19999");
    ASSERT_EQ(bands(), *levels::bandTexts(19999));
    expectLaidOutAt(window(), app_->window(), dpi);

    calculate("200");
    EXPECT_EQ(bands(), *levels::bandTexts(200));
    ShowWindow(window(), SW_MINIMIZE);
    pump();
    EXPECT_EQ(windowText(window()), "KRD: MV=41, SV=81, OV=121");
    ShowWindow(window(), SW_RESTORE);
    pump();
    EXPECT_EQ(windowText(window()), kTitle);
    EXPECT_TRUE(messages_.empty());
}

INSTANTIATE_TEST_SUITE_P(Densities, DpiChange, testing::Values(96, 120, 144, 192),
                         [](const auto& info) { return std::to_string(info.param) + "dpi"; });

TEST_F(Win32Window, ToolTipsWrapAtAReadableWidth) {
    const auto width = SendMessageW(app_->window().controls().toolTips(), TTM_GETMAXTIPWIDTH, 0, 0);
    EXPECT_GE(width, MulDiv(200, systemDpi(), 96));
    EXPECT_LE(width, MulDiv(400, systemDpi(), 96));
}

// What a screen reader is told, through the accessibility objects Windows
// (here Wine's oleacc) makes for standard controls.
std::string accessibleName(IAccessible* object, const VARIANT& child) {
    BSTR name = nullptr;
    if (object->get_accName(child, &name) != S_OK || name == nullptr) {
        return "<no name>";
    }
    std::string text = narrow(std::wstring_view(name, SysStringLen(name)));
    SysFreeString(name);
    return text;
}

IAccessible* clientObject(HWND window) {
    void* object = nullptr;
    const HRESULT result = AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                                      __uuidof(IAccessible), &object);
    if (FAILED(result)) {
        ADD_FAILURE() << "AccessibleObjectFromWindow: " << std::hex << result;
        return nullptr;
    }
    return static_cast<IAccessible*>(object);
}

// What a reader hears walking the form's children: the name of each child
// window's client object, in the order it meets them.
std::vector<std::string> namesInReadingOrder(HWND window) {
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    IAccessible* form = clientObject(window);
    if (form == nullptr) {
        return {};
    }
    long count = 0;
    form->get_accChildCount(&count);
    std::vector<VARIANT> children(static_cast<std::size_t>(count));
    long obtained = 0;
    EXPECT_TRUE(SUCCEEDED(AccessibleChildren(form, 0, count, children.data(), &obtained)));
    // Each child is the object of a child window; what a reader reads for one
    // is that window's client object.
    std::vector<std::string> heard;
    for (VARIANT& child : children) {
        IOleWindow* childWindow = nullptr;
        HWND handle = nullptr;
        if (child.vt == VT_DISPATCH && child.pdispVal != nullptr &&
            SUCCEEDED(child.pdispVal->QueryInterface(__uuidof(IOleWindow),
                                                     reinterpret_cast<void**>(&childWindow)))) {
            childWindow->GetWindow(&handle);
            childWindow->Release();
        }
        IAccessible* client = handle != nullptr ? clientObject(handle) : nullptr;
        heard.push_back(client != nullptr ? accessibleName(client, self) : "<not a window>");
        if (client != nullptr) {
            client->Release();
        }
        VariantClear(&child);
    }
    form->Release();
    return heard;
}

// The entry is named by its caption, and each band by its caption with its range.
std::vector<std::string> expectedNames(const Bands& bands) {
    std::vector<std::string> expected;
    for (const Control id : kestrand::layout::kReadingOrder) {
        const Control named = id == Control::txtVPs ? Control::lblVPs : id;
        expected.emplace_back(kestrand::layout::rowOf(named).text);
        for (int i = 0; i < kestrand::layout::kBandCount; ++i) {
            if (kestrand::layout::bandControl(i) == id) {
                expected.back() = kestrand::spokenBand(i, bands[static_cast<std::size_t>(i)]);
            }
        }
    }
    return expected;
}

TEST_F(Win32Window, AScreenReaderNamesTheEntryAndEachBandByItsCaption) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    EXPECT_EQ(namesInReadingOrder(window()), expectedNames(kReset));
    calculate("200");
    EXPECT_EQ(namesInReadingOrder(window()), expectedNames(bands()));
    CoUninitialize();
}

// The live-region changes a screen reader hears, with where the focus was then.
struct LiveChange final {
    HWND label;
    HWND focus;
};
std::vector<LiveChange>* gLiveChanges = nullptr;

void CALLBACK recordLiveChange(HWINEVENTHOOK, DWORD, HWND label, LONG object, LONG child, DWORD,
                               DWORD) {
    if (gLiveChanges != nullptr && object == OBJID_CLIENT && child == CHILDID_SELF) {
        gLiveChanges->push_back({label, GetFocus()});
    }
}

TEST_F(Win32Window, CalculateAnnouncesEachBandOnceAfterTheFocusMovesAndARefusalNone) {
    constexpr DWORD kLiveRegionChanged = 0x8019;
    std::vector<LiveChange> changes;
    gLiveChanges = &changes;
    // In context, the hook hears each event as it is raised, so in order.
    const HWINEVENTHOOK hook =
        SetWinEventHook(kLiveRegionChanged, kLiveRegionChanged, GetModuleHandleW(nullptr),
                        recordLiveChange, GetCurrentProcessId(), 0, WINEVENT_INCONTEXT);
    ASSERT_NE(hook, nullptr);
    calculate("200");
    std::vector<HWND> labels;
    for (const LiveChange& change : changes) {
        labels.push_back(change.label);
        EXPECT_EQ(change.focus, control(Control::cmdExit));
    }
    std::vector<HWND> expected;
    for (int i = 0; i < kestrand::layout::kBandCount; ++i) {
        expected.push_back(control(kestrand::layout::bandControl(i)));
    }
    EXPECT_EQ(labels, expected) << "each band once, from Draw up";

    changes.clear();
    setEntry("5");
    click(Control::cmdCalculate);
    pump();
    EXPECT_EQ(titles().back(), refusalTitle(Refusal::TooLow));
    EXPECT_TRUE(changes.empty());
    UnhookWinEvent(hook);
    gLiveChanges = nullptr;
}

// The box as Windows lays it out, measured from inside its modal loop.
struct BoxExtent final {
    RECT box{};
    RECT ok{};
};
BoxExtent* gExtent = nullptr;

void CALLBACK measureTheBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = GetActiveWindow();
    if (box == nullptr || className(box) != "#32770") {
        return;
    }
    KillTimer(nullptr, timer);
    GetWindowRect(box, &gExtent->box);
    GetWindowRect(GetDlgItem(box, IDOK), &gExtent->ok);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST_F(Win32Window, AHundredThousandDigitPasteStaysWholeAndItsRefusalFitsTheScreen) {
    const std::string digits(100000, '9');
    const std::wstring wide(digits.begin(), digits.end());
    ASSERT_TRUE(OpenClipboard(window()));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
    std::copy_n(wide.c_str(), wide.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
    SendMessageW(control(Control::txtVPs), EM_SETSEL, 0, -1);
    SendMessageW(control(Control::txtVPs), WM_PASTE, 0, 0);
    EXPECT_EQ(entry(), digits) << "pasted " << entry().size() << " characters";

    click(Control::cmdCalculate);
    ASSERT_EQ(messages_.size(), 1U);
    EXPECT_EQ(messages_[0],
              levels::refusalMessage(Refusal::TooHigh, digits, levels::readTotal(digits), "."));
    BoxExtent extent;
    gExtent = &extent;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, measureTheBox);
    kestrand::win32::showMessageBox(window(), messages_[0]);
    KillTimer(nullptr, timer);
    gExtent = nullptr;
    EXPECT_LE(extent.box.right - extent.box.left, 1024);
    EXPECT_LE(extent.box.bottom - extent.box.top, 768);
    EXPECT_GT(extent.ok.right, extent.ok.left) << "the OK button was found";
    EXPECT_GE(extent.ok.left, extent.box.left);
    EXPECT_LE(extent.ok.right, extent.box.right);
    EXPECT_LE(extent.ok.bottom, extent.box.bottom);
}

} // namespace
