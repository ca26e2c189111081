// What a screen reader does, for the accessibility tests: it records the
// events the menus raise, and reads a menu window's accessibility object from
// a thread of its own, as a client in another apartment.
#pragma once
#include <windows.h>
#include <oleacc.h>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace a11ytest {

// One event as a WinEvent hook saw it.
struct Event {
    DWORD event;
    HWND window;
    LONG object;
    LONG child;
};
// "MENUSTART", "POPUPSTART", "FOCUS 3", "VALUECHANGE 3", "REORDER", "POPUPEND",
// "MENUEND" (others by number).
std::string Describe(const Event& e);

// Records the menu events of this process while it lives, from a thread of
// its own.
class EventRecorder {
  public:
    EventRecorder();
    ~EventRecorder();
    EventRecorder(const EventRecorder&) = delete;
    EventRecorder& operator=(const EventRecorder&) = delete;
    std::vector<Event> Events() const;
    // The events described, in order, for windows of class "fpmMenuClass".
    std::vector<std::string> Described() const;
    // Waits until an event described as `what` has come (`count` times).
    bool WaitFor(const std::string& what, int count = 1) const;
    void Clear();

    struct State; // shared with the hook

  private:
    State* m_state;
};

// COM for a client thread (the input thread of a test) while it lives.
class ClientApartment {
  public:
    ClientApartment() : m_result(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ClientApartment() {
        if (SUCCEEDED(m_result)) CoUninitialize();
    }
    bool Ready() const { return SUCCEEDED(m_result); }

  private:
    HRESULT m_result;
};

// A reference to an accessibility object, released at scope end.
class AccessibleRef {
  public:
    AccessibleRef() = default;
    explicit AccessibleRef(IAccessible* object) : m_object(object) {}
    ~AccessibleRef() { Reset(); }
    AccessibleRef(AccessibleRef&& other) noexcept : m_object(other.m_object) {
        other.m_object = nullptr;
    }
    AccessibleRef& operator=(AccessibleRef&& other) noexcept;
    IAccessible* operator->() const { return m_object; }
    IAccessible* Get() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    void Reset();

  private:
    IAccessible* m_object = nullptr;
};

// The client object of a menu window, as AccessibleObjectFromWindow gives it.
AccessibleRef ObjectOf(HWND window);

VARIANT Child(LONG id);
// What the object says of child `id` (0 for the object itself).
std::string Name(IAccessible* object, LONG id);
std::string Value(IAccessible* object, LONG id);
std::string Description(IAccessible* object, LONG id);
LONG Role(IAccessible* object, LONG id);
LONG State(IAccessible* object, LONG id);
std::string Shortcut(IAccessible* object, LONG id);
std::string DefaultAction(IAccessible* object, LONG id);
RECT Location(IAccessible* object, LONG id);
// The child id a VARIANT result names: 0 for the object itself, -1 for none.
LONG ChildIdOf(const VARIANT& v);
LONG Focus(IAccessible* object);
LONG HitTest(IAccessible* object, POINT screen);
LONG Navigate(IAccessible* object, long direction, LONG from);
long ChildCount(IAccessible* object);

// A screen reader's client on a thread of its own, in an apartment of its
// own: it takes the object of a menu window, acts on it, and keeps it past
// the menus until told to let go. Its calls and its release reach the menus'
// thread through that thread's loop: the test's thread pumps its messages
// meanwhile, as a host's thread goes on with its own loop.
class KeepingClient {
  public:
    using Use = std::function<void(IAccessible*)>;
    KeepingClient() = default;
    KeepingClient(const KeepingClient&) = delete;
    KeepingClient& operator=(const KeepingClient&) = delete;
    ~KeepingClient();
    // Takes the object of `window` and runs `act` (if any) on it; false when
    // there was no object.
    bool Act(HWND window, Use act);
    // Runs `afterwards` (if any) on the object kept, then lets it go, while
    // this thread pumps; false when the client did not finish.
    bool LetGo(Use afterwards);

  private:
    std::thread m_thread;
    std::atomic<int> m_holding{0};
    std::atomic<bool> m_letGo{false}, m_done{false};
    Use m_afterwards;
};

} // namespace a11ytest
