// What a screen reader sees of one open flat menu: an accessibility object
// (Active Accessibility's IAccessible) whose children are the menu's entries,
// read from its rows. The object never keeps the menu alive: once the menu's
// window goes it is disconnected, and a client that still holds it gets
// CO_E_OBJNOTCONNECTED from every call.
#pragma once
#include <windows.h>
#include <oleacc.h>
#include "flatmenu/menu_rows.h"

// What the object reads and asks of the menu it stands for.
class AccessibleMenuSource {
  public:
    virtual const MenuRows& AccessibleRows() const = 0;
    // Does what Enter does on entry `index`, once the call that asks for it
    // has returned (an action may run a menu's modal loop).
    virtual void RequestDefaultAction(int index) = 0;

  protected:
    ~AccessibleMenuSource() = default;
};

class MenuAccessible final : public IAccessible {
  public:
    // A new object with one reference, the caller's, for the menu shown in
    // `window`.
    static MenuAccessible* Create(AccessibleMenuSource* source, HWND window);
    // The menu has gone: nothing is read or asked of it any more.
    void Disconnect();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch: no type information; clients use the vtable.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override;
    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

  private:
    MenuAccessible(AccessibleMenuSource* source, HWND window);
    ~MenuAccessible() = default;
    // The entry a child id names: -1 for the menu itself; false for an id
    // that names nothing (or when the menu has gone: `*result` says which).
    bool EntryOf(const VARIANT& child, int* entry, HRESULT* result) const;
    const FlatMenuItem* Entry(int index) const;
    // Whether the menu shows a search (its rows hold the search row).
    bool Searching() const;

    LONG m_references = 1;
    AccessibleMenuSource* m_source; // null once disconnected
    HWND m_window;
};

// A menu's own reference to its accessibility object: when the menu lets go
// of it, the object is disconnected first, whoever else still holds it.
class MenuAccessibleRef {
  public:
    MenuAccessibleRef() = default;
    ~MenuAccessibleRef() { Reset(); }
    MenuAccessibleRef(const MenuAccessibleRef&) = delete;
    MenuAccessibleRef& operator=(const MenuAccessibleRef&) = delete;
    MenuAccessible* Get() const { return m_object; }
    void Reset(MenuAccessible* object = nullptr) {
        if (m_object) {
            m_object->Disconnect();
            m_object->Release();
        }
        m_object = object;
    }

  private:
    MenuAccessible* m_object = nullptr;
};
