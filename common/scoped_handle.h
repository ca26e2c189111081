// One owner for one handle: released when the guard goes, unless it was handed
// over with Release(). `Closer::Close(handle)` says how a handle is released.
#pragma once

template <typename Handle, typename Closer> class ScopedHandle {
  public:
    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle) : m_handle(handle) {}
    ~ScopedHandle() { Reset(); }
    ScopedHandle(ScopedHandle&& other) noexcept : m_handle(other.Release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    Handle Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    // Hands the handle over to the caller, who releases it from now on.
    Handle Release() {
        Handle handle = m_handle;
        m_handle = nullptr;
        return handle;
    }
    // Releases the handle held, if any, and takes `handle` instead.
    void Reset(Handle handle = nullptr) {
        if (m_handle) Closer::Close(m_handle);
        m_handle = handle;
    }
    // For functions that return a new handle through a pointer.
    Handle* Put() {
        Reset();
        return &m_handle;
    }

  private:
    Handle m_handle = nullptr;
};
