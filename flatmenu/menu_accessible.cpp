// The accessibility object of one flat menu. Calls reach it on the menu's
// thread (an apartment of its own), so it reads the rows as they are.
#include "flatmenu/menu_accessible.h"
#include <new>
#include <string>
#include "flatmenu/entry_text.h"
#include "flatmenu/menu_item.h"

namespace {
// A BSTR of `text` (in the code page); E_OUTOFMEMORY when it cannot be made.
HRESULT MakeBstr(const std::string& text, BSTR* out) {
    *out = nullptr;
    const int length =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    BSTR made = SysAllocStringLen(nullptr, static_cast<UINT>(length));
    if (!made) return E_OUTOFMEMORY;
    if (length)
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), made, length);
    *out = made;
    return S_OK;
}

HRESULT MakeWideBstr(const std::wstring& text, BSTR* out) {
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

void SetChildId(VARIANT* out, LONG id) {
    out->vt = VT_I4;
    out->lVal = id;
}

// The menu's title: the bold, disabled entry a titled menu starts with.
bool IsTitle(const FlatMenuItem& entry) {
    return (entry.flags & fpmDisabled) && (entry.flags & fpmBold) && !(entry.flags & fpmSeparator);
}

bool IsSearchField(const FlatMenuItem& entry) {
    return (entry.flags & fpmSearchField) != 0;
}

bool HasAction(const FlatMenuItem& entry) {
    return !(entry.flags & fpmSeparator) && !IsTitle(entry) && !IsSearchField(entry);
}
} // namespace

MenuAccessible* MenuAccessible::Create(AccessibleMenuSource* source, HWND window) {
    return new (std::nothrow) MenuAccessible(source, window);
}

MenuAccessible::MenuAccessible(AccessibleMenuSource* source, HWND window)
    : m_source(source), m_window(window) {}

void MenuAccessible::Disconnect() {
    m_source = nullptr;
    m_window = nullptr;
}

HRESULT MenuAccessible::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, __uuidof(IAccessible))) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG MenuAccessible::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&m_references));
}

ULONG MenuAccessible::Release() {
    const LONG left = InterlockedDecrement(&m_references);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT MenuAccessible::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT MenuAccessible::GetTypeInfo(UINT, LCID, ITypeInfo**) {
    return E_NOTIMPL;
}

HRESULT MenuAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT MenuAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                               UINT*) {
    return E_NOTIMPL;
}

bool MenuAccessible::EntryOf(const VARIANT& child, int* entry, HRESULT* result) const {
    if (!m_source) {
        *result = CO_E_OBJNOTCONNECTED;
        return false;
    }
    const LONG count = m_source->AccessibleRows().Count();
    if (child.vt != VT_I4 || child.lVal < CHILDID_SELF || child.lVal > count) {
        *result = E_INVALIDARG;
        return false;
    }
    *entry = static_cast<int>(child.lVal) - 1; // children are numbered from 1
    return true;
}

const FlatMenuItem* MenuAccessible::Entry(int index) const {
    return m_source ? m_source->AccessibleRows().Item(index) : nullptr;
}

bool MenuAccessible::Searching() const {
    if (!m_source) return false;
    const MenuRows& rows = m_source->AccessibleRows();
    for (int i = 0; i < rows.Count(); ++i) {
        if (IsSearchField(*rows.Item(i))) return true;
    }
    return false;
}

HRESULT MenuAccessible::get_accParent(IDispatch** parent) {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    if (!m_source) return CO_E_OBJNOTCONNECTED;
    return CreateStdAccessibleObject(m_window, OBJID_WINDOW, IID_IDispatch,
                                     reinterpret_cast<void**>(parent));
}

HRESULT MenuAccessible::get_accChildCount(long* count) {
    if (!count) return E_POINTER;
    *count = 0;
    if (!m_source) return CO_E_OBJNOTCONNECTED;
    *count = m_source->AccessibleRows().Count();
    return S_OK;
}

HRESULT MenuAccessible::get_accChild(VARIANT child, IDispatch** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    int entry;
    HRESULT result;
    if (!EntryOf(child, &entry, &result)) return result;
    // The entries are simple elements, not objects of their own.
    return entry < 0 ? E_INVALIDARG : S_FALSE;
}

HRESULT MenuAccessible::get_accName(VARIANT child, BSTR* name) {
    if (!name) return E_POINTER;
    *name = nullptr;
    int entry;
    HRESULT result;
    if (!EntryOf(child, &entry, &result)) return result;
    if (entry < 0) return S_FALSE; // the popup itself has no name
    if (IsSearchField(*Entry(entry))) return MakeBstr("Search", name);
    return MakeBstr(ReadableEntryText(Entry(entry)->text), name);
}

HRESULT MenuAccessible::get_accValue(VARIANT child, BSTR* value) {
    if (!value) return E_POINTER;
    *value = nullptr;
    int entry;
    HRESULT result;
    if (!EntryOf(child, &entry, &result)) return result;
    // The search row's value is the text typed so far.
    if (entry < 0 || !IsSearchField(*Entry(entry))) return DISP_E_MEMBERNOTFOUND;
    return MakeWideBstr(Entry(entry)->fieldText, value);
}

HRESULT MenuAccessible::get_accDescription(VARIANT child, BSTR* description) {
    if (!description) return E_POINTER;
    *description = nullptr;
    int entry;
    HRESULT result;
    if (!EntryOf(child, &entry, &result)) return result;
    // A search result is described by the submenus that hold it.
    if (entry < 0 || Entry(entry)->detail.empty()) return DISP_E_MEMBERNOTFOUND;
    return MakeWideBstr(Entry(entry)->detail, description);
}

HRESULT MenuAccessible::get_accRole(VARIANT child, VARIANT* role) {
    if (!role) return E_POINTER;
    VariantInit(role);
    int entry;
    HRESULT result;
    if (!EntryOf(child, &entry, &result)) return result;
    LONG value = ROLE_SYSTEM_MENUPOPUP;
    if (entry >= 0) {
        const FlatMenuItem& item = *Entry(entry);
        value = (item.flags & fpmSeparator) ? ROLE_SYSTEM_SEPARATOR
                : IsTitle(item)             ? ROLE_SYSTEM_STATICTEXT
                : IsSearchField(item)       ? ROLE_SYSTEM_TEXT
                                            : ROLE_SYSTEM_MENUITEM;
    }
    SetChildId(role, value);
    return S_OK;
}

HRESULT MenuAccessible::get_accState(VARIANT child, VARIANT* state) {
    if (!state) return E_POINTER;
    VariantInit(state);
    int entry;
    HRESULT result;
    if (!EntryOf(child, &entry, &result)) return result;
    LONG value = 0;
    if (entry >= 0) {
        const MenuRows& rows = m_source->AccessibleRows();
        const FlatMenuItem& item = *rows.Item(entry);
        if (item.child) value |= STATE_SYSTEM_HASPOPUP;
        if (item.flags & (fpmDisabled | fpmGrayed)) value |= STATE_SYSTEM_UNAVAILABLE;
        if (entry == rows.HotIndex()) value |= STATE_SYSTEM_FOCUSED | STATE_SYSTEM_HOTTRACKED;
        // An editable text: the keys type into it while no result is hot.
        if (IsSearchField(item)) {
            value |= STATE_SYSTEM_FOCUSABLE;
            if (rows.HotIndex() < 0) value |= STATE_SYSTEM_FOCUSED;
        }
        if (!rows.RowShown(entry)) value |= STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN;
    }
    SetChildId(state, value);
    return S_OK;
}

HRESULT MenuAccessible::get_accHelp(VARIANT child, BSTR* help) {
    if (!help) return E_POINTER;
    *help = nullptr;
    int entry;
    HRESULT result;
    if (!EntryOf(child, &entry, &result)) return result;
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT MenuAccessible::get_accHelpTopic(BSTR* file, VARIANT child, long* topic) {
    if (file) *file = nullptr;
    if (topic) *topic = 0;
    int entry;
    HRESULT result;
    if (!EntryOf(child, &entry, &result)) return result;
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT MenuAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    if (!shortcut) return E_POINTER;
    *shortcut = nullptr;
    int entry;
    HRESULT result;
    if (!EntryOf(child, &entry, &result)) return result;
    // While a search runs the menu has a search row, and a letter is text.
    if (entry >= 0 && Searching()) return S_FALSE;
    const char mnemonic = entry >= 0 ? EntryMnemonic(Entry(entry)->text) : 0;
    if (!mnemonic) return S_FALSE;
    return MakeBstr(std::string(1, mnemonic), shortcut);
}

HRESULT MenuAccessible::get_accFocus(VARIANT* focus) {
    if (!focus) return E_POINTER;
    VariantInit(focus);
    if (!m_source) return CO_E_OBJNOTCONNECTED;
    const MenuRows& rows = m_source->AccessibleRows();
    int focused = rows.HotIndex();
    // No result hot: the search row has the focus, when there is one.
    for (int i = 0; focused < 0 && i < rows.Count(); ++i) {
        if (IsSearchField(*rows.Item(i))) focused = i;
    }
    if (focused < 0) return S_FALSE; // VT_EMPTY: nothing of the menu has the focus
    SetChildId(focus, focused + 1);
    return S_OK;
}

HRESULT MenuAccessible::get_accSelection(VARIANT* selection) {
    return get_accFocus(selection);
}

HRESULT MenuAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
    if (!action) return E_POINTER;
    *action = nullptr;
    int entry;
    HRESULT result;
    if (!EntryOf(child, &entry, &result)) return result;
    if (entry < 0 || !HasAction(*Entry(entry))) return DISP_E_MEMBERNOTFOUND;
    return MakeBstr(Entry(entry)->child ? "Open" : "Execute", action);
}

HRESULT MenuAccessible::accSelect(long, VARIANT child) {
    int entry;
    HRESULT result;
    if (!EntryOf(child, &entry, &result)) return result;
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT MenuAccessible::accLocation(long* left, long* top, long* width, long* height,
                                    VARIANT child) {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    int entry;
    HRESULT result;
    if (!EntryOf(child, &entry, &result)) return result;
    RECT area;
    if (entry < 0) {
        if (!GetWindowRect(m_window, &area)) return E_FAIL;
    } else {
        const MenuRows& rows = m_source->AccessibleRows();
        if (!rows.RowShown(entry)) return S_OK; // scrolled out: an empty rectangle
        const RowRect row = rows.RowBounds(entry);
        POINT corners[2] = {{row.left, row.top}, {row.right, row.bottom}};
        MapWindowPoints(m_window, nullptr, corners, 2);
        area = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    }
    *left = area.left;
    *top = area.top;
    *width = area.right - area.left;
    *height = area.bottom - area.top;
    return S_OK;
}

HRESULT MenuAccessible::accNavigate(long direction, VARIANT start, VARIANT* end) {
    if (!end) return E_POINTER;
    VariantInit(end);
    int entry;
    HRESULT result;
    if (!EntryOf(start, &entry, &result)) return result;
    const int count = m_source->AccessibleRows().Count();
    int to = -1;
    switch (direction) {
    case NAVDIR_FIRSTCHILD:
        if (entry >= 0) return E_INVALIDARG;
        to = 0;
        break;
    case NAVDIR_LASTCHILD:
        if (entry >= 0) return E_INVALIDARG;
        to = count - 1;
        break;
    case NAVDIR_DOWN:
    case NAVDIR_NEXT:
        if (entry < 0) return S_FALSE; // the popup has no sibling here
        to = entry + 1;
        break;
    case NAVDIR_UP:
    case NAVDIR_PREVIOUS:
        if (entry < 0) return S_FALSE;
        to = entry - 1;
        break;
    case NAVDIR_LEFT:
    case NAVDIR_RIGHT:
        return S_FALSE; // one column: nothing beside an entry
    default:
        return E_INVALIDARG;
    }
    if (to < 0 || to >= count) return S_FALSE;
    SetChildId(end, to + 1);
    return S_OK;
}

HRESULT MenuAccessible::accHitTest(long x, long y, VARIANT* child) {
    if (!child) return E_POINTER;
    VariantInit(child);
    if (!m_source) return CO_E_OBJNOTCONNECTED;
    RECT window;
    const POINT screen = {x, y};
    if (!GetWindowRect(m_window, &window) || !PtInRect(&window, screen)) return S_FALSE;
    POINT client = screen;
    ScreenToClient(m_window, &client);
    const MenuRows& rows = m_source->AccessibleRows();
    for (int i = 0; i < rows.Count(); ++i) {
        const RowRect row = rows.RowBounds(i);
        if (rows.RowShown(i) && client.y >= row.top && client.y < row.bottom &&
            client.x >= row.left && client.x < row.right) {
            SetChildId(child, i + 1);
            return S_OK;
        }
    }
    SetChildId(child, CHILDID_SELF); // the menu, but no entry
    return S_OK;
}

HRESULT MenuAccessible::accDoDefaultAction(VARIANT child) {
    int entry;
    HRESULT result;
    if (!EntryOf(child, &entry, &result)) return result;
    if (entry < 0 || !HasAction(*Entry(entry))) return DISP_E_MEMBERNOTFOUND;
    if (!m_source->AccessibleRows().IsChoosable(entry)) return E_FAIL; // Enter cannot reach it
    m_source->RequestDefaultAction(entry);
    return S_OK;
}

HRESULT MenuAccessible::put_accName(VARIANT, BSTR) {
    return E_NOTIMPL;
}

HRESULT MenuAccessible::put_accValue(VARIANT, BSTR) {
    return E_NOTIMPL;
}
