#include "ui/win32/CheckListAccessible.h"

#include <atomic>

namespace dorvel::ui::win32 {
namespace {

constexpr wchar_t kToggle[] = L"Toggle";

// A row of the list: child ids count from 1, CHILDID_SELF is the list.
int RowOf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal > CHILDID_SELF ? child.lVal - 1 : -1;
}

class Rows final : public IAccessible {
public:
    Rows(HWND list, IAccessible* system, CheckListRows rows)
        : list_(list), system_(system), rows_(std::move(rows)) {}
    ~Rows() { system_->Release(); }
    Rows(const Rows&) = delete;
    Rows& operator=(const Rows&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDispatch) ||
            IsEqualIID(id, __uuidof(IAccessible))) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    // IDispatch, the system object's
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return system_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return system_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID id, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return system_->GetIDsOfNames(id, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID id, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* wrong) override {
        return system_->Invoke(member, id, locale, flags, parameters, result, exception, wrong);
    }

    // IAccessible: the rows' text, tick and toggle are ours.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        const int row = RowOf(child);
        if (row < 0) return system_->get_accName(child, name);
        *name = ::SysAllocString(rows_.text(row).c_str());
        return *name != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    // A row's state as a list box's rows have it, and its tick; counted
    // here, since not every system's object knows an owner-drawn box's rows.
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        const int row = RowOf(child);
        if (row < 0) return system_->get_accState(child, state);
        if (row >= count()) return E_INVALIDARG;
        long flags = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
        if (::SendMessageW(list_, LB_GETCURSEL, 0, 0) == row) flags |= STATE_SYSTEM_SELECTED;
        if (::GetFocus() == list_ && ::SendMessageW(list_, LB_GETCARETINDEX, 0, 0) == row) {
            flags |= STATE_SYSTEM_FOCUSED;
        }
        if (rows_.ticked(row)) flags |= STATE_SYSTEM_CHECKED;
        state->vt = VT_I4;
        state->lVal = flags;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* children) override {
        *children = count();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        *out = nullptr;
        // Rows are simple elements of the list, answered by the list.
        return RowOf(child) >= 0 ? S_FALSE : system_->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (RowOf(child) < 0) return system_->get_accRole(child, role);
        role->vt = VT_I4;
        role->lVal = ROLE_SYSTEM_LISTITEM;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        const int row = RowOf(child);
        if (row < 0) return system_->accLocation(left, top, width, height, child);
        RECT area{};
        if (::SendMessageW(list_, LB_GETITEMRECT, static_cast<WPARAM>(row),
                           reinterpret_cast<LPARAM>(&area)) == LB_ERR) {
            return E_INVALIDARG;
        }
        ::MapWindowPoints(list_, nullptr, reinterpret_cast<POINT*>(&area), 2);
        *left = area.left;
        *top = area.top;
        *width = area.right - area.left;
        *height = area.bottom - area.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (RowOf(child) < 0) return system_->get_accDefaultAction(child, action);
        *action = ::SysAllocString(kToggle);
        return *action != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        const int row = RowOf(child);
        if (row < 0) return system_->accDoDefaultAction(child);
        rows_.toggle(row);
        return S_OK;
    }

    // The rest is the system object's.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return system_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return system_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return system_->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return system_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return system_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return system_->get_accKeyboardShortcut(child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return system_->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return system_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return system_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return system_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return system_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    int count() const { return static_cast<int>(::SendMessageW(list_, LB_GETCOUNT, 0, 0)); }

    std::atomic<ULONG> references_{1};
    HWND list_;
    IAccessible* system_;
    CheckListRows rows_;
};

}  // namespace

LRESULT AnswerGetObject(HWND list, WPARAM flags, const CheckListRows& rows) {
    IAccessible* system = nullptr;
    if (FAILED(::CreateStdAccessibleObject(list, OBJID_CLIENT, __uuidof(IAccessible),
                                           reinterpret_cast<void**>(&system)))) {
        return 0;
    }
    auto* ours = new Rows(list, system, rows);
    const LRESULT answer = ::LresultFromObject(__uuidof(IAccessible), flags, ours);
    ours->Release();
    return answer > 0 ? answer : 0;
}

}  // namespace dorvel::ui::win32
