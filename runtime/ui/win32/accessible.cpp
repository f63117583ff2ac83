// What screen readers read of the form through Microsoft Active
// Accessibility: the system's own object for a window, wrapped so that it
// says the few things the form says otherwise and forwards the rest.
//
// Not IAccPropServices (dynamic annotation), which would annotate the
// system's object without a wrapper: Wine's oleacc answers its
// SetHwndPropStr with E_NOTIMPL, so that path could not be tried here.
#include "runtime/ui/win32/win32.h"  // windows.h, which oleacc.h needs first

#include <oleacc.h>

#include <string>
#include <utility>

namespace rt::win32 {
namespace {

// The few functions the objects need, looked up once, when a screen
// reader first asks; each null where its library is missing.
struct OleFunctions {
    HRESULT(WINAPI* co_initialize_ex)(void*, DWORD);
    void(WINAPI* co_uninitialize)();
    HRESULT(WINAPI* create_std_accessible_object)(HWND, LONG, REFIID, void**);
    LRESULT(WINAPI* lresult_from_object)(REFIID, WPARAM, LPUNKNOWN);
    BSTR(WINAPI* sys_alloc_string_len)(const OLECHAR*, UINT);
};

const OleFunctions& ole() {
    static const OleFunctions found = [] {
        const auto load = [](const wchar_t* name) {
            return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        };
        OleFunctions f{};
        const HMODULE ole32 = load(L"ole32.dll"), oleacc = load(L"oleacc.dll"),
                      oleaut32 = load(L"oleaut32.dll");
        look_up(f.co_initialize_ex, ole32, "CoInitializeEx");
        look_up(f.co_uninitialize, ole32, "CoUninitialize");
        look_up(f.create_std_accessible_object, oleacc, "CreateStdAccessibleObject");
        look_up(f.lresult_from_object, oleacc, "LresultFromObject");
        look_up(f.sys_alloc_string_len, oleaut32, "SysAllocStringLen");
        return f;
    }();
    return found;
}

bool is_self(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// The string a get_acc... call answers with, owned by the caller.
HRESULT give(const std::wstring& text, BSTR* out) {
    if (!out) return E_INVALIDARG;
    *out = ole().sys_alloc_string_len(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// The system's object for one window, with what the form says of it.
class Wrapper final : public IAccessible {
public:
    Wrapper(IAccessible* system, AccessibleFacts facts) : system_(system), facts_(std::move(facts)) {}
    Wrapper(const Wrapper&) = delete;
    Wrapper& operator=(const Wrapper&) = delete;

    // IUnknown. The interfaces of the system's object that this one does
    // not implement (IEnumVARIANT for its children, IOleWindow) come from it.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        return system_->QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&references_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch: the system's type information, invoked on this object so
    // that late-bound callers read the same properties.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return system_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return system_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return system_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* wrong) override;

    // IAccessible: what the form says, else the system's object.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (is_self(child) && !facts_.name.empty()) return give(facts_.name, name);
        return system_->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        if (is_self(child) && !facts_.description.empty()) return give(facts_.description, description);
        return system_->get_accDescription(child, description);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return system_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return system_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return system_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return system_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return system_->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return system_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return system_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return system_->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return system_->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return system_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return system_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return system_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        return system_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return system_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override {
        return system_->accHitTest(left, top, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return system_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return system_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return system_->put_accValue(child, value);
    }

private:
    ~Wrapper() { system_->Release(); }

    IAccessible* system_;  // one reference, ours
    AccessibleFacts facts_;
    LONG references_ = 1;
};

HRESULT Wrapper::Invoke(DISPID id, REFIID, LCID locale, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                        EXCEPINFO* exception, UINT* wrong) {
    ITypeInfo* info = nullptr;
    if (const HRESULT found = system_->GetTypeInfo(0, locale, &info); FAILED(found)) return found;
    const HRESULT done =
        info->Invoke(static_cast<IAccessible*>(this), id, flags, parameters, result, exception, wrong);
    info->Release();
    return done;
}

// A read-only value: never unavailable, and never a place for the focus.
HRESULT Wrapper::get_accState(VARIANT child, VARIANT* state) {
    const HRESULT got = system_->get_accState(child, state);
    if (SUCCEEDED(got) && is_self(child) && facts_.read_only && state->vt == VT_I4)
        state->lVal =
            (state->lVal | STATE_SYSTEM_READONLY) & ~(STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_FOCUSABLE);
    return got;
}

}  // namespace

AccessibleObjects::~AccessibleObjects() {
    if (joined_) ole().co_uninitialize();
}

LONG asked_object(LPARAM asked) { return static_cast<LONG>(static_cast<DWORD>(asked)); }

LRESULT AccessibleObjects::answer(HWND window, WPARAM flags, LONG object, AccessibleFacts facts) {
    const OleFunctions& f = ole();
    if (!f.create_std_accessible_object || !f.lresult_from_object || !f.sys_alloc_string_len) return 0;
    if (!asked_) {
        asked_ = true;
        // LresultFromObject hands the object over through COM.
        joined_ = f.co_initialize_ex && SUCCEEDED(f.co_initialize_ex(nullptr, COINIT_APARTMENTTHREADED));
    }
    IAccessible* system = nullptr;
    if (FAILED(f.create_std_accessible_object(window, object, __uuidof(IAccessible),
                                              reinterpret_cast<void**>(&system))))
        return 0;
    auto* wrapper = new Wrapper(system, std::move(facts));
    const LRESULT reference = f.lresult_from_object(__uuidof(IAccessible), flags, wrapper);
    wrapper->Release();  // LresultFromObject holds its own reference
    return reference > 0 ? reference : 0;
}

}  // namespace rt::win32
