#include "Win32Accessible.h"

#include "Win32Text.h"

#include <algorithm>
#include <atomic>
#include <vector>

// Interface identifiers come from __uuidof: in a 64-bit build the import library of oleacc.dll
// resolves IID_IAccessible to a code thunk, not to the identifier.
namespace {

LONG RoleOf(TAccessibleRole Role)
{
    switch (Role) {
    case TAccessibleRole::PushButton:
        return ROLE_SYSTEM_PUSHBUTTON;
    case TAccessibleRole::MenuButton:
        return ROLE_SYSTEM_BUTTONMENU;
    case TAccessibleRole::RadioButton:
        return ROLE_SYSTEM_RADIOBUTTON;
    case TAccessibleRole::SpinBox:
        return ROLE_SYSTEM_SPINBUTTON;
    case TAccessibleRole::ComboBox:
        return ROLE_SYSTEM_COMBOBOX;
    case TAccessibleRole::Text:
        return ROLE_SYSTEM_TEXT;
    case TAccessibleRole::Label:
        return ROLE_SYSTEM_STATICTEXT;
    case TAccessibleRole::ProgressBar:
        return ROLE_SYSTEM_PROGRESSBAR;
    case TAccessibleRole::StatusBar:
        return ROLE_SYSTEM_STATUSBAR;
    case TAccessibleRole::None:
        break;
    }
    return ROLE_SYSTEM_CLIENT;
}

const std::vector<TControl>& Elements()
{
    static const std::vector<TControl> Controls = Form::AccessibleControls();
    return Controls;
}

HRESULT ReturnText(const std::wstring& Text, BSTR* Out)
{
    if (!Out)
        return E_POINTER;
    *Out = nullptr;
    if (Text.empty())
        return S_FALSE;
    *Out = SysAllocStringLen(Text.data(), static_cast<UINT>(Text.size()));
    return *Out ? S_OK : E_OUTOFMEMORY;
}

LONG StateOf(const TAccessibleState& State)
{
    return (State.Unavailable ? STATE_SYSTEM_UNAVAILABLE : 0)
        | (State.Focusable ? STATE_SYSTEM_FOCUSABLE : 0)
        | (State.Focused ? STATE_SYSTEM_FOCUSED : 0) | (State.Checked ? STATE_SYSTEM_CHECKED : 0)
        | (State.HasPopup ? STATE_SYSTEM_HASPOPUP : 0)
        | (State.ReadOnly ? STATE_SYSTEM_READONLY : 0);
}

} // namespace

class TWin32FormAccessible final : public IAccessible {
public:
    explicit TWin32FormAccessible(TWin32AccessibleHost& Host)
        : FHost(&Host)
    {
    }
    void Detach() { FHost = nullptr; }

    // ---- IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Id, void** Out) override
    {
        if (!Out)
            return E_POINTER;
        if (IsEqualIID(Id, __uuidof(IUnknown)) || IsEqualIID(Id, __uuidof(IDispatch))
            || IsEqualIID(Id, __uuidof(IAccessible))) {
            *Out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *Out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++FReferences; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG Left = --FReferences;
        if (Left == 0)
            delete this;
        return Left;
    }

    // ---- IDispatch: clients call the interface's methods directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* Count) override
    {
        if (!Count)
            return E_POINTER;
        *Count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(
        DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    // ---- The tree
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** Parent) override
    {
        if (!Parent)
            return E_POINTER;
        *Parent = nullptr;
        if (!FHost)
            return CO_E_OBJNOTCONNECTED;
        return AccessibleObjectFromWindow(FHost->FormHandle(), OBJID_WINDOW, __uuidof(IDispatch),
            reinterpret_cast<void**>(Parent));
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* Count) override
    {
        if (!Count)
            return E_POINTER;
        *Count = static_cast<LONG>(Elements().size());
        return S_OK;
    }
    // The children are simple elements: no object of their own.
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT Child, IDispatch** Out) override
    {
        if (!Out)
            return E_POINTER;
        *Out = nullptr;
        return ControlOf(Child) ? S_FALSE : E_INVALIDARG;
    }

    // ---- What each element is
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT Child, BSTR* Name) override
    {
        return AnswerText(
            Child, Name, [this](TControl Control) { return ViewOf(Control).Name; },
            WideFromUtf8(Form::Caption));
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT Child, BSTR* Value) override
    {
        return AnswerText(Child, Value, [this](TControl Control) { return ViewOf(Control).Value; });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT Child, BSTR* Description) override
    {
        return AnswerText(Child, Description,
            [](TControl Control) { return Form::Spec(Control).Accessible.Description; });
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT Child, VARIANT* Role) override
    {
        if (!Role)
            return E_POINTER;
        const TControl* Control = ControlOf(Child);
        if (!Control && !IsSelf(Child))
            return E_INVALIDARG;
        VariantInit(Role);
        Role->vt = VT_I4;
        Role->lVal = Control ? RoleOf(Form::Spec(*Control).Accessible.Role) : ROLE_SYSTEM_CLIENT;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT Child, VARIANT* State) override
    {
        if (!State)
            return E_POINTER;
        if (!FHost)
            return CO_E_OBJNOTCONNECTED;
        const TControl* Control = ControlOf(Child);
        if (!Control && !IsSelf(Child))
            return E_INVALIDARG;
        VariantInit(State);
        State->vt = VT_I4;
        State->lVal = Control ? StateOf(ViewOf(*Control).State) : STATE_SYSTEM_FOCUSABLE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* Help) override
    {
        return ReturnText(L"", Help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* File, VARIANT, LONG* Topic) override
    {
        if (Topic)
            *Topic = 0;
        return ReturnText(L"", File);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT Child, BSTR* Shortcut) override
    {
        return AnswerText(
            Child, Shortcut, [this](TControl Control) { return ViewOf(Control).Shortcut; });
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* Focus) override
    {
        if (!Focus)
            return E_POINTER;
        if (!FHost)
            return CO_E_OBJNOTCONNECTED;
        VariantInit(Focus);
        for (size_t Index = 0; Index < Elements().size(); ++Index)
            if (FHost->ControlNow(Elements()[Index]).Focused) {
                Focus->vt = VT_I4;
                Focus->lVal = static_cast<LONG>(Index + 1);
                return S_OK;
            }
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* Selection) override
    {
        if (!Selection)
            return E_POINTER;
        VariantInit(Selection);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT Child, BSTR* Action) override
    {
        return AnswerText(Child, Action, [this](TControl Control) {
            const TAccessibleView View = ViewOf(Control);
            return View.Actions.empty() ? std::string() : Form::ActionName(View.Actions.front());
        });
    }

    // ---- Acting, placing and finding
    HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE accLocation(
        LONG* Left, LONG* Top, LONG* Width, LONG* Height, VARIANT Child) override
    {
        if (!Left || !Top || !Width || !Height)
            return E_POINTER;
        if (!FHost)
            return CO_E_OBJNOTCONNECTED;
        const TControl* Control = ControlOf(Child);
        if (!Control && !IsSelf(Child))
            return E_INVALIDARG;
        RECT Place{};
        if (Control) {
            Place = FHost->ControlBounds(*Control);
        } else {
            GetClientRect(FHost->FormHandle(), &Place);
        }
        MapWindowPoints(FHost->FormHandle(), nullptr, reinterpret_cast<POINT*>(&Place), 2);
        *Left = Place.left;
        *Top = Place.top;
        *Width = Place.right - Place.left;
        *Height = Place.bottom - Place.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG Direction, VARIANT Start, VARIANT* End) override
    {
        if (!End)
            return E_POINTER;
        VariantInit(End);
        const LONG Count = static_cast<LONG>(Elements().size());
        LONG Next = 0;
        if (Direction == NAVDIR_FIRSTCHILD && IsSelf(Start))
            Next = 1;
        else if (Direction == NAVDIR_LASTCHILD && IsSelf(Start))
            Next = Count;
        else if (ControlOf(Start) && (Direction == NAVDIR_NEXT || Direction == NAVDIR_DOWN))
            Next = Start.lVal + 1;
        else if (ControlOf(Start) && (Direction == NAVDIR_PREVIOUS || Direction == NAVDIR_UP))
            Next = Start.lVal - 1;
        if (Next < 1 || Next > Count)
            return S_FALSE;
        End->vt = VT_I4;
        End->lVal = Next;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG X, LONG Y, VARIANT* Found) override
    {
        if (!Found)
            return E_POINTER;
        if (!FHost)
            return CO_E_OBJNOTCONNECTED;
        VariantInit(Found);
        POINT At{ X, Y };
        ScreenToClient(FHost->FormHandle(), &At);
        RECT Client{};
        GetClientRect(FHost->FormHandle(), &Client);
        if (!PtInRect(&Client, At))
            return S_FALSE;
        Found->vt = VT_I4;
        Found->lVal = CHILDID_SELF;
        // The last in the form's order lies on top.
        for (size_t Index = Elements().size(); Index-- > 0;) {
            const RECT Place = FHost->ControlBounds(Elements()[Index]);
            if (PtInRect(&Place, At)) {
                Found->lVal = static_cast<LONG>(Index + 1);
                break;
            }
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT Child) override
    {
        if (!FHost)
            return CO_E_OBJNOTCONNECTED;
        const TControl* Control = ControlOf(Child);
        if (!Control)
            return IsSelf(Child) ? DISP_E_MEMBERNOTFOUND : E_INVALIDARG;
        if (ViewOf(*Control).Actions.empty())
            return DISP_E_MEMBERNOTFOUND;
        FHost->PostActivate(*Control);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~TWin32FormAccessible() = default;

    static bool IsSelf(const VARIANT& Child)
    {
        return Child.vt == VT_I4 && Child.lVal == CHILDID_SELF;
    }
    static const TControl* ControlOf(const VARIANT& Child)
    {
        if (Child.vt != VT_I4 || Child.lVal < 1
            || static_cast<size_t>(Child.lVal) > Elements().size())
            return nullptr;
        return &Elements()[static_cast<size_t>(Child.lVal - 1)];
    }

    // A text of the element Child: what Read says of its control, or Own for the client area.
    template <typename TRead>
    HRESULT AnswerText(
        const VARIANT& Child, BSTR* Out, TRead Read, const std::wstring& Own = {}) const
    {
        if (!FHost)
            return CO_E_OBJNOTCONNECTED;
        const TControl* Control = ControlOf(Child);
        if (!Control)
            return IsSelf(Child) ? ReturnText(Own, Out) : E_INVALIDARG;
        return ReturnText(WideFromUtf8(Read(*Control)), Out);
    }

    TAccessibleView ViewOf(TControl Control) const
    {
        return Form::AccessibleView(Control, FHost->ControlNow(Control));
    }

    std::atomic<ULONG> FReferences{ 1 };
    TWin32AccessibleHost* FHost;
};

TWin32FormAccessible* CreateFormAccessible(TWin32AccessibleHost& Host)
{
    return new TWin32FormAccessible(Host);
}

void ReleaseFormAccessible(TWin32FormAccessible& Accessible)
{
    Accessible.Detach();
    Accessible.Release();
}

LRESULT AnswerGetObject(TWin32FormAccessible& Accessible, WPARAM W)
{
    return LresultFromObject(__uuidof(IAccessible), W, static_cast<IAccessible*>(&Accessible));
}

LONG AccessibleChildId(TControl Control)
{
    const auto Found = std::find(Elements().begin(), Elements().end(), Control);
    return Found == Elements().end() ? 0 : static_cast<LONG>(Found - Elements().begin() + 1);
}
