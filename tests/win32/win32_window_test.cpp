// The real Win32 window in this process, driven with the messages Windows
// would send: characters to the entry, keys through the dialog manager,
// presses and clicks on buttons; message boxes are recorded, not shown.
#include "app/form_layout.h"
#include "app/notes.h"
#include "app/win32/wide_text.h"
#include "app/win32/win32_kestrand.h"
#include "app/win32/win32_services.h"
#include "resource_ids.h"
#include "test_texts.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <array>
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
        pump();
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
int px(int twips) {
    return twips / 15;
}

TEST_F(Win32Window, StartsAsLaidOut) {
    EXPECT_EQ(windowText(window()), kTitle);
    EXPECT_EQ(app_->form().savedCaption(), kTitle) << "loaded before the first showing";
    RECT client{};
    GetClientRect(window(), &client);
    EXPECT_EQ(client.right, 578);
    EXPECT_EQ(client.bottom, 273);
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

TEST_F(Win32Window, EveryControlHasItsClassPlaceTextFontAndStyle) {
    for (const auto& row : kestrand::layout::kControls) {
        SCOPED_TRACE(std::string(row.text) + " " + std::string(row.toolTip.substr(0, 30)));
        HWND w = control(row.id);
        ASSERT_NE(w, nullptr);
        RECT rect{};
        GetWindowRect(w, &rect);
        MapWindowPoints(nullptr, window(), reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, px(row.twips.left));
        EXPECT_EQ(rect.top, px(row.twips.top));
        EXPECT_EQ(rect.right - rect.left, px(row.twips.width));
        EXPECT_EQ(rect.bottom - rect.top, px(row.twips.height));
        // What a screen reader reads: the caption through WM_GETTEXT.
        std::array<wchar_t, 128> text{};
        const auto length =
            SendMessageW(w, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
        EXPECT_EQ(narrow(std::wstring_view(text.data(), static_cast<std::size_t>(length))),
                  row.text);
        EXPECT_EQ(has(style(w), WS_TABSTOP), row.tabStop);

        LOGFONTW font{};
        const auto handle = reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0));
        ASSERT_NE(GetObjectW(handle, sizeof font, &font), 0);
        EXPECT_EQ(font.lfHeight, -11);
        EXPECT_EQ(font.lfWeight, row.kind == Kind::Button ? FW_NORMAL : FW_BOLD);
        EXPECT_EQ(narrow(font.lfFaceName), "MS Sans Serif");

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

// Drawn at its own size from the top-left corner: each pixel of the client
// area is the picture's pixel at the same place.
TEST_F(Win32Window, PaintsTheBackgroundUnscaled) {
    const auto picture =
        static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_BACKGROUND),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(picture, nullptr);
    BITMAP info{};
    GetObjectW(picture, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 580);
    EXPECT_EQ(info.bmHeight, 276);

    HDC screen = GetDC(nullptr);
    HDC painted = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 578, 273);
    SelectObject(painted, canvas);
    HDC source = CreateCompatibleDC(screen);
    SelectObject(source, picture);
    SendMessageW(window(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(painted), 0);

    std::vector<COLORREF> seen;
    for (const POINT p : {POINT{0, 0}, POINT{577, 272}, POINT{100, 30}, POINT{300, 120},
                          POINT{450, 200}, POINT{20, 250}, POINT{560, 10}}) {
        EXPECT_EQ(GetPixel(painted, p.x, p.y), GetPixel(source, p.x, p.y)) << p.x << "," << p.y;
        seen.push_back(GetPixel(source, p.x, p.y));
    }
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
    key(VK_RETURN);
    EXPECT_EQ(bands(), (Bands{"0-40", " 41-80", " 81-120", " 121+"}));
    EXPECT_TRUE(focused(Control::cmdExit));
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
    pump();
    EXPECT_TRUE(focused(Control::txtVPs)) << "restoring gives the focus back";
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
    EXPECT_TRUE(focused(Control::cmdExit));
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

TEST_F(Win32Window, TabVisitsEntryExitCalculateAndEscapeDoesNothing) {
    setEntry("200");
    key(VK_ESCAPE);
    key(VK_TAB);
    EXPECT_TRUE(focused(Control::cmdExit));
    key(VK_ESCAPE);
    EXPECT_TRUE(IsWindow(window()));
    key(VK_TAB);
    EXPECT_TRUE(focused(Control::cmdCalculate));
    key(VK_TAB);
    EXPECT_TRUE(focused(Control::txtVPs));
    key(VK_TAB, true);
    EXPECT_TRUE(focused(Control::cmdCalculate));
    EXPECT_TRUE(messages_.empty());
    key(VK_SPACE);
    EXPECT_EQ(bands()[3], " 121+");
    EXPECT_TRUE(focused(Control::cmdExit));
}

TEST_F(Win32Window, TabToCalculateChecksTheEntryButTabToExitDoesNot) {
    key(VK_TAB, true);
    EXPECT_EQ(titles(), std::vector<std::string>{refusalTitle(Refusal::Zero)});
    EXPECT_TRUE(focused(Control::txtVPs));
    setEntry("5");
    key(VK_TAB);
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

} // namespace
