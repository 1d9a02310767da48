#include "app/win32/band_voice.h"

#include "app/spoken_results.h"
#include "app/win32/wide_text.h"

#include <commctrl.h>
#include <oleacc.h>
#include <servprov.h>

#include <string>

namespace kestrand::win32 {
namespace {

// The UI Automation property that makes an element a live region, and its polite value.
constexpr GUID kLiveSettingProperty{
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kPolite = 1;
constexpr GUID kAccPropServicesClass{
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID kAccPropServicesInterface{
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
// Raised by Windows 8 and later; earlier ones pass it on to whoever listens.
constexpr DWORD kLiveRegionChanged = 0x8019;

// The COM and accessibility functions, looked up when a screen reader first
// asks, so that the program neither imports nor loads their libraries to start.
struct Ole final {
    decltype(&CreateStdAccessibleObject) createStdAccessibleObject = nullptr;
    decltype(&LresultFromObject) lresultFromObject = nullptr;
    decltype(&SysAllocString) sysAllocString = nullptr;
    decltype(&CoInitializeEx) coInitializeEx = nullptr;
    decltype(&CoCreateInstance) coCreateInstance = nullptr;
};

HMODULE systemLibrary(const wchar_t* name) {
    wchar_t directory[MAX_PATH];
    const UINT length = GetSystemDirectoryW(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return nullptr;
    }
    return LoadLibraryW((std::wstring(directory, length) + L'\\' + name).c_str());
}

template <typename Function> void lookUp(Function& function, HMODULE library, const char* name) {
    if (library != nullptr) {
        function =
            reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
    }
}

const Ole& ole() {
    static const Ole functions = [] {
        Ole found;
        const HMODULE oleacc = systemLibrary(L"oleacc.dll");
        const HMODULE oleaut32 = systemLibrary(L"oleaut32.dll");
        const HMODULE ole32 = systemLibrary(L"ole32.dll");
        lookUp(found.createStdAccessibleObject, oleacc, "CreateStdAccessibleObject");
        lookUp(found.lresultFromObject, oleacc, "LresultFromObject");
        lookUp(found.sysAllocString, oleaut32, "SysAllocString");
        lookUp(found.coInitializeEx, ole32, "CoInitializeEx");
        lookUp(found.coCreateInstance, ole32, "CoCreateInstance");
        return found;
    }();
    return functions;
}

// The standard object of a static control, with its name made of its caption
// and its text. Everything else is the standard object's answer, but for the
// services a client asks for beside the interfaces.
class NamedBand final : public IAccessible, public IServiceProvider {
public:
    NamedBand(IAccessible* standard, HWND label, int index)
        : standard_(standard), label_(label), index_(index) {}
    NamedBand(const NamedBand&) = delete;
    NamedBand& operator=(const NamedBand&) = delete;

    // IUnknown. Interfaces other than IAccessible and IServiceProvider
    // (IOleWindow, IEnumVARIANT) are the standard object's.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) ||
            riid == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        if (riid == __uuidof(IServiceProvider)) {
            *object = static_cast<IServiceProvider*>(this);
            AddRef();
            return S_OK;
        }
        return standard_->QueryInterface(riid, object);
    }

    // IServiceProvider. The standard object's services would hand a client
    // the standard object itself: IIS_IsOleaccProxy answers with oleacc's
    // proxy of a plain static, named by its text alone, and marks the label as
    // one that UI Automation may read through its own proxy of statics; the
    // IAccessibleEx service would give UI Automation that proxy's element. So
    // this object is what it is, a program's own, and offers only itself.
    HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        return service == __uuidof(IAccessible) ? QueryInterface(riid, object) : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // The one answer of its own.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (child.vt != VT_I4 || child.lVal != CHILDID_SELF || name == nullptr) {
            return standard_->get_accName(child, name);
        }
        *name = ole().sysAllocString(widen(spokenBand(index_, windowText(label_))).c_str());
        return *name != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return standard_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return standard_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return standard_->GetIDsOfNames(riid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID riid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argument) override {
        return standard_->Invoke(member, riid, locale, flags, params, result, exception, argument);
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return standard_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        return standard_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** dispatch) override {
        return standard_->get_accChild(child, dispatch);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return standard_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return standard_->get_accDescription(child, description);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return standard_->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return standard_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return standard_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return standard_->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return standard_->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return standard_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return standard_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG left, LONG top, VARIANT* child) override {
        return standard_->accHitTest(left, top, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return standard_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return standard_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

private:
    ~NamedBand() { standard_->Release(); }

    IAccessible* standard_;
    HWND label_;
    int index_;
    LONG references_ = 1;
};

LRESULT CALLBACK bandProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR index,
                          DWORD_PTR /*data*/) {
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT &&
        ole().createStdAccessibleObject != nullptr && ole().lresultFromObject != nullptr &&
        ole().sysAllocString != nullptr) {
        void* standard = nullptr;
        if (SUCCEEDED(ole().createStdAccessibleObject(label, OBJID_CLIENT, __uuidof(IAccessible),
                                                      &standard))) {
            auto* const named =
                new NamedBand(static_cast<IAccessible*>(standard), label, static_cast<int>(index));
            const LRESULT result = ole().lresultFromObject(__uuidof(IAccessible), wParam,
                                                           static_cast<IAccessible*>(named));
            named->Release();
            return result;
        }
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(label, bandProc, index);
    }
    return DefSubclassProc(label, message, wParam, lParam);
}

// Marks the labels as polite live regions, once, for Narrator, which reads the
// mark through the accessibility annotations. Where COM or the annotations are
// missing (before Windows 8 the property means nothing), the events still go out.
void markLiveRegions(std::span<const HWND> labels) {
    static bool tried = false;
    if (tried || ole().coInitializeEx == nullptr || ole().coCreateInstance == nullptr) {
        return;
    }
    tried = true;
    ole().coInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    void* found = nullptr;
    if (FAILED(ole().coCreateInstance(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                                      kAccPropServicesInterface, &found))) {
        return;
    }
    auto* const services = static_cast<IAccPropServices*>(found);
    VARIANT polite{};
    polite.vt = VT_I4;
    polite.lVal = kPolite;
    for (const HWND label : labels) {
        services->SetHwndProp(label, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                              kLiveSettingProperty, polite);
    }
    services->Release();
}

} // namespace

void voiceBandLabel(HWND label, int index) {
    SetWindowSubclass(label, bandProc, static_cast<UINT_PTR>(index), 0);
}

void announceBandLabels(std::span<const HWND> labels) {
    markLiveRegions(labels);
    for (const HWND label : labels) {
        NotifyWinEvent(kLiveRegionChanged, label, OBJID_CLIENT, CHILDID_SELF);
    }
}

} // namespace kestrand::win32
