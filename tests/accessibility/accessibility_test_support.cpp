#include "tests/accessibility/accessibility_test_support.h"
#include <algorithm>
#include <mutex>
#include <set>
#include <thread>
#include "tests/support/test_support.h"

namespace a11ytest {

std::string Describe(const Event& e) {
    switch (e.event) {
    case EVENT_SYSTEM_MENUSTART:
        return "MENUSTART";
    case EVENT_SYSTEM_MENUEND:
        return "MENUEND";
    case EVENT_SYSTEM_MENUPOPUPSTART:
        return "POPUPSTART";
    case EVENT_SYSTEM_MENUPOPUPEND:
        return "POPUPEND";
    case EVENT_OBJECT_FOCUS:
        return "FOCUS " + std::to_string(e.child);
    case EVENT_OBJECT_VALUECHANGE:
        return "VALUECHANGE " + std::to_string(e.child);
    case EVENT_OBJECT_REORDER:
        return "REORDER";
    default:
        return "EVENT " + std::to_string(e.event);
    }
}

struct EventRecorder::State {
    std::mutex lock;
    std::vector<Event> events;
    std::set<HWND> menuWindows; // windows that raised a menu event
    DWORD thread = 0;
    HANDLE ready = nullptr;
    std::thread worker;
};

namespace {
// The recorder whose hook runs; one at a time.
EventRecorder::State* g_recording = nullptr;

bool IsMenuEvent(DWORD event) {
    return event == EVENT_SYSTEM_MENUSTART || event == EVENT_SYSTEM_MENUEND ||
           event == EVENT_SYSTEM_MENUPOPUPSTART || event == EVENT_SYSTEM_MENUPOPUPEND;
}
} // namespace

// Out of context: the hook runs on the recorder's thread, in its loop.
static void CALLBACK RecordEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child,
                                 DWORD, DWORD) {
    EventRecorder::State* state = g_recording;
    if (!state || object != OBJID_CLIENT) return;
    std::lock_guard<std::mutex> hold(state->lock);
    if (IsMenuEvent(event)) state->menuWindows.insert(window);
    // Focus, value and order events count for the menus only from a menu window.
    const bool objectEvent = event == EVENT_OBJECT_FOCUS || event == EVENT_OBJECT_VALUECHANGE ||
                             event == EVENT_OBJECT_REORDER;
    if (IsMenuEvent(event) || (objectEvent && state->menuWindows.count(window)))
        state->events.push_back({event, window, object, child});
}

EventRecorder::EventRecorder() : m_state(new State) {
    m_state->ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_recording = m_state;
    State* state = m_state;
    m_state->worker = std::thread([state] {
        state->thread = GetCurrentThreadId();
        HWINEVENTHOOK hook =
            SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, RecordEvent, GetCurrentProcessId(), 0,
                            WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNTHREAD);
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE); // the thread's queue exists now
        SetEvent(state->ready);
        while (GetMessageA(&msg, nullptr, 0, 0) > 0)
            DispatchMessageA(&msg);
        if (hook) UnhookWinEvent(hook);
    });
    WaitForSingleObject(m_state->ready, INFINITE);
    // Under Wine a thread learns of a hook set since it last took a message
    // from the server only when it next does (an empty queue is answered
    // without asking): the menus' thread takes one now, as a host's thread
    // would have long before a screen reader's events matter.
    const UINT kHookNews = WM_APP + 0x3A11;
    PostThreadMessageA(GetCurrentThreadId(), kHookNews, 0, 0);
    MSG msg;
    PeekMessageA(&msg, nullptr, kHookNews, kHookNews, PM_REMOVE);
}

EventRecorder::~EventRecorder() {
    PostThreadMessageA(m_state->thread, WM_QUIT, 0, 0);
    m_state->worker.join();
    g_recording = nullptr;
    CloseHandle(m_state->ready);
    delete m_state;
}

std::vector<Event> EventRecorder::Events() const {
    std::lock_guard<std::mutex> hold(m_state->lock);
    return m_state->events;
}

std::vector<std::string> EventRecorder::Described() const {
    std::vector<std::string> described;
    for (const Event& e : Events())
        described.push_back(Describe(e));
    return described;
}

bool EventRecorder::WaitFor(const std::string& what, int count) const {
    auto seen = [&] {
        const std::vector<std::string> described = Described();
        return std::count(described.begin(), described.end(), what) >= count;
    };
    // From the test's thread too, which may own the menus: pump while waiting.
    return qtest::WaitFor(seen);
}

void EventRecorder::Clear() {
    std::lock_guard<std::mutex> hold(m_state->lock);
    m_state->events.clear();
}

AccessibleRef& AccessibleRef::operator=(AccessibleRef&& other) noexcept {
    if (this != &other) {
        Reset();
        m_object = other.m_object;
        other.m_object = nullptr;
    }
    return *this;
}

void AccessibleRef::Reset() {
    if (m_object) m_object->Release();
    m_object = nullptr;
}

AccessibleRef ObjectOf(HWND window) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))))
        return AccessibleRef();
    return AccessibleRef(object);
}

VARIANT Child(LONG id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

namespace {
std::string FromBstr(HRESULT result, BSTR text) {
    if (FAILED(result))
        return "<failed " + std::to_string(static_cast<unsigned long>(result)) + ">";
    if (!text) return "<none>";
    char ansi[1024] = "";
    WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi, nullptr, nullptr);
    SysFreeString(text);
    return ansi;
}

LONG FromVariant(HRESULT result, VARIANT& v) {
    if (FAILED(result)) return -2;
    const LONG value = v.vt == VT_I4 ? v.lVal : -1;
    VariantClear(&v);
    return value;
}
} // namespace

std::string Name(IAccessible* object, LONG id) {
    BSTR text = nullptr;
    HRESULT result = object->get_accName(Child(id), &text);
    return FromBstr(result, text);
}

std::string Value(IAccessible* object, LONG id) {
    BSTR text = nullptr;
    HRESULT result = object->get_accValue(Child(id), &text);
    return FromBstr(result, text);
}

std::string Description(IAccessible* object, LONG id) {
    BSTR text = nullptr;
    HRESULT result = object->get_accDescription(Child(id), &text);
    return FromBstr(result, text);
}

LONG Role(IAccessible* object, LONG id) {
    VARIANT v;
    VariantInit(&v);
    HRESULT result = object->get_accRole(Child(id), &v);
    return FromVariant(result, v);
}

LONG State(IAccessible* object, LONG id) {
    VARIANT v;
    VariantInit(&v);
    HRESULT result = object->get_accState(Child(id), &v);
    return FromVariant(result, v);
}

std::string Shortcut(IAccessible* object, LONG id) {
    BSTR text = nullptr;
    HRESULT result = object->get_accKeyboardShortcut(Child(id), &text);
    return FromBstr(result, text);
}

std::string DefaultAction(IAccessible* object, LONG id) {
    BSTR text = nullptr;
    HRESULT result = object->get_accDefaultAction(Child(id), &text);
    return FromBstr(result, text);
}

RECT Location(IAccessible* object, LONG id) {
    long left = -1, top = -1, width = -1, height = -1;
    if (FAILED(object->accLocation(&left, &top, &width, &height, Child(id))))
        return RECT{-1, -1, -1, -1};
    return RECT{left, top, left + width, top + height};
}

LONG ChildIdOf(const VARIANT& v) {
    return v.vt == VT_I4 ? v.lVal : -1;
}

LONG Focus(IAccessible* object) {
    VARIANT v;
    VariantInit(&v);
    HRESULT result = object->get_accFocus(&v);
    return FromVariant(result, v);
}

LONG HitTest(IAccessible* object, POINT screen) {
    VARIANT v;
    VariantInit(&v);
    HRESULT result = object->accHitTest(screen.x, screen.y, &v);
    return FromVariant(result, v);
}

LONG Navigate(IAccessible* object, long direction, LONG from) {
    VARIANT v;
    VariantInit(&v);
    HRESULT result = object->accNavigate(direction, Child(from), &v);
    return FromVariant(result, v);
}

long ChildCount(IAccessible* object) {
    long count = -1;
    if (FAILED(object->get_accChildCount(&count))) return -2;
    return count;
}

KeepingClient::~KeepingClient() {
    if (m_thread.joinable() && !m_done) LetGo(nullptr);
    if (m_thread.joinable()) m_thread.join();
}

bool KeepingClient::Act(HWND window, Use act) {
    m_thread = std::thread([this, window, act] {
        ClientApartment apartment;
        AccessibleRef object = ObjectOf(window);
        if (object && act) act(object.Get());
        m_holding = object ? 1 : -1;
        while (!m_letGo)
            Sleep(5);
        if (object && m_afterwards) m_afterwards(object.Get());
        object.Reset();
        m_done = true;
    });
    return qtest::WaitFor([&] { return m_holding != 0; }) && m_holding == 1;
}

bool KeepingClient::LetGo(Use afterwards) {
    m_afterwards = std::move(afterwards);
    m_letGo = true;
    return qtest::WaitFor([&] { return m_done.load(); });
}

} // namespace a11ytest
