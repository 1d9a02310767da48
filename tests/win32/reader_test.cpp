// A screen reader's part, played from a second process as NVDA plays it:
// kestrand.exe runs on its own, its events are heard through an
// out-of-context hook, and each band is read through the object the event
// names and through the service by which a client tells oleacc's proxies apart,
// and, where the headers declare it, through UI Automation as Narrator reads.
#include "app/spoken_results.h"
#include "levels/bands.h"

#include <windows.h>

#include <oleacc.h>
#include <servprov.h>
#ifdef KESTRAND_HAVE_UI_AUTOMATION
#include <uiautomation.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr DWORD kLiveRegionChanged = 0x8019;
std::wstring gExe;

std::string narrow(const wchar_t* text, int length) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
    return out;
}

std::string nameOf(IAccessible* object, const VARIANT& child) {
    BSTR name = nullptr;
    if (FAILED(object->get_accName(child, &name)) || name == nullptr) {
        return "<no name>";
    }
    std::string text = narrow(name, static_cast<int>(SysStringLen(name)));
    SysFreeString(name);
    return text;
}

std::string textOf(HWND window) {
    wchar_t text[256] = {};
    return narrow(text, GetWindowTextW(window, text, 256));
}

// One event as the reader got it, with what it read of the object then.
struct Heard final {
    DWORD event;
    HWND window;
    DWORD raisedAt;
    std::string name;
    // Through QueryService(IIS_IsOleaccProxy), where the object offers it.
    std::string proxyName;
    bool proxyOffered = false;
};
std::vector<Heard> gHeard;
DWORD gProcess = 0;

void CALLBACK heard(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                    DWORD raisedAt) {
    if (event != kLiveRegionChanged && event != EVENT_OBJECT_FOCUS) {
        return;
    }
    Heard entry{event, window, raisedAt, {}, {}};
    IAccessible* accessible = nullptr;
    VARIANT item{};
    if (SUCCEEDED(AccessibleObjectFromEvent(window, static_cast<DWORD>(object),
                                            static_cast<DWORD>(child), &accessible, &item))) {
        entry.name = nameOf(accessible, item);
        IServiceProvider* services = nullptr;
        if (SUCCEEDED(accessible->QueryInterface(__uuidof(IServiceProvider),
                                                 reinterpret_cast<void**>(&services)))) {
            IAccessible* proxy = nullptr;
            if (SUCCEEDED(services->QueryService(IIS_IsOleaccProxy, __uuidof(IAccessible),
                                                 reinterpret_cast<void**>(&proxy))) &&
                proxy != nullptr) {
                entry.proxyOffered = true;
                entry.proxyName = nameOf(proxy, item);
                proxy->Release();
            }
            services->Release();
        }
        accessible->Release();
    }
    gHeard.push_back(entry);
}

// Runs the queue, through which out-of-context events arrive, until done() or ms pass.
template <typename Done> bool pumpUntil(Done done, DWORD ms) {
    const DWORD until = GetTickCount() + ms;
    while (!done()) {
        const auto left = static_cast<LONG>(until - GetTickCount());
        if (left <= 0) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
    }
    return true;
}

HWND child(HWND parent, const wchar_t* className, const char* text) {
    for (HWND c = GetWindow(parent, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t name[32] = {};
        GetClassNameW(c, name, 32);
        if (lstrcmpiW(name, className) == 0 && (text == nullptr || textOf(c) == text)) {
            return c;
        }
    }
    return nullptr;
}

HWND kestrandWindow() {
    struct Search final {
        HWND found = nullptr;
    } search;
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == gProcess && IsWindowVisible(window)) {
                reinterpret_cast<Search*>(data)->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST(AReaderInAnotherProcess, HearsEachBandByCaptionAndRangeOnEveryPathAfterTheFocusOnExit) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::wstring command = L"\"" + gExe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(CreateProcessW(gExe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &started));
    gProcess = started.dwProcessId;
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, kLiveRegionChanged, nullptr,
                                               heard, gProcess, 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);

    HWND window = nullptr;
    ASSERT_TRUE(pumpUntil([&] { return (window = kestrandWindow()) != nullptr; }, 20000));
    HWND entry = child(window, L"Edit", nullptr);
    HWND exit = child(window, L"Button", "Exit");
    ASSERT_NE(entry, nullptr);
    ASSERT_NE(exit, nullptr);
    pumpUntil([] { return false; }, 500);
    gHeard.clear();

    // "1234" over the "0", then Enter, through the program's own message loop.
    PostMessageW(entry, EM_SETSEL, 0, -1);
    for (const wchar_t c : std::wstring(L"1234")) {
        PostMessageW(entry, WM_CHAR, c, 1);
    }
    PostMessageW(entry, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    const auto liveChanges = [] {
        return std::count_if(gHeard.begin(), gHeard.end(),
                             [](const Heard& h) { return h.event == kLiveRegionChanged; });
    };
    EXPECT_TRUE(pumpUntil([&] { return liveChanges() >= 4; }, 10000));
    pumpUntil([] { return false; }, 500); // nothing more may follow

    // Pending events can arrive in reverse: the time each was raised orders them.
    std::stable_sort(gHeard.begin(), gHeard.end(),
                     [](const Heard& a, const Heard& b) { return a.raisedAt < b.raisedAt; });
    const auto focusOnExit = std::find_if(gHeard.begin(), gHeard.end(), [&](const Heard& h) {
        return h.event == EVENT_OBJECT_FOCUS && h.window == exit;
    });
    ASSERT_NE(focusOnExit, gHeard.end());
    const auto bands = *levels::bandTexts(1234);
    std::vector<std::string> spoken;
    std::vector<std::string> expected;
    for (int i = 0; i < 4; ++i) {
        expected.push_back(kestrand::spokenBand(i, bands[static_cast<std::size_t>(i)]));
    }
    for (auto h = gHeard.begin(); h != gHeard.end(); ++h) {
        if (h->event != kLiveRegionChanged) {
            continue;
        }
        EXPECT_GT(h - focusOnExit, 0) << h->name << " came before the focus on Exit";
        spoken.push_back(h->name);
        if (h->proxyOffered) {
            EXPECT_EQ(h->proxyName, h->name) << "through IIS_IsOleaccProxy";
        }
    }
    // Raised within one tick, the four cannot be ordered from here (Wine hands
    // them over last first); the window's own suite hears them as raised.
    std::sort(spoken.begin(), spoken.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(spoken, expected);

#ifdef KESTRAND_HAVE_UI_AUTOMATION
    IUIAutomation* automation = nullptr;
    EXPECT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_CUIAutomation, nullptr, CLSCTX_INPROC_SERVER,
                                              IID_IUIAutomation,
                                              reinterpret_cast<void**>(&automation)));
    for (int i = 0; automation != nullptr && i < 4; ++i) {
        const std::string& range = bands[static_cast<std::size_t>(i)];
        HWND band = child(window, L"Static", range.c_str());
        IUIAutomationElement* element = nullptr;
        BSTR name = nullptr;
        ASSERT_NE(band, nullptr) << range;
        if (SUCCEEDED(automation->ElementFromHandle(band, &element)) && element != nullptr &&
            SUCCEEDED(element->get_CurrentName(&name)) && name != nullptr) {
            EXPECT_EQ(narrow(name, static_cast<int>(SysStringLen(name))),
                      kestrand::spokenBand(i, range))
                << "through UI Automation";
            SysFreeString(name);
        } else {
            ADD_FAILURE() << "UI Automation gave no name for " << range;
        }
        if (element != nullptr) {
            element->Release();
        }
    }
    if (automation != nullptr) {
        automation->Release();
    }
#endif

    UnhookWinEvent(hook);
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(started.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(started.hProcess, 1);
        ADD_FAILURE() << "kestrand.exe did not close";
    }
    CloseHandle(started.hProcess);
    CloseHandle(started.hThread);
    CoUninitialize();
}

} // namespace

int main(int argc, char* argv[]) {
    testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: reader_test KESTRAND_EXE\n");
        return 2;
    }
    const int length = MultiByteToWideChar(CP_UTF8, 0, argv[1], -1, nullptr, 0);
    gExe.resize(static_cast<std::size_t>(length));
    MultiByteToWideChar(CP_UTF8, 0, argv[1], -1, gExe.data(), length);
    gExe.resize(static_cast<std::size_t>(length - 1));
    return RUN_ALL_TESTS();
}
