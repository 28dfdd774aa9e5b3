#pragma once

#include <type_traits>

// Where a process-wide service lives (the message sink, the progress display, the modal seam,
// the notification receiver, the open project): the one installed, or a fallback while none
// is (nullptr for a service that may be missing).
template <typename T> class TServiceSlot final {
public:
    explicit constexpr TServiceSlot(T* fallback = nullptr) : m_fallback(fallback), m_current(fallback) {}
    TServiceSlot(const TServiceSlot&) = delete;
    TServiceSlot& operator=(const TServiceSlot&) = delete;

    T* Get() const { return m_current; }
    // Installs service (nullptr puts the fallback back); returns the one installed before,
    // nullptr when that was the fallback.
    T* Install(T* service)
    {
        T* previous = m_current == m_fallback ? nullptr : m_current;
        m_current = service ? service : m_fallback;
        return previous;
    }

private:
    T* m_fallback;
    T* m_current;
};

// Installs a service through its Set... function for the lifetime of a scope and puts the
// previous one back at its end (tests, the program's start-up, a command).
template <typename T> class TScopedService final {
public:
    using TSetter = T* (*)(T*);

    TScopedService(TSetter set, std::type_identity_t<T>* service) : m_set(set), m_previous(set(service)) {}
    ~TScopedService() { m_set(m_previous); }
    TScopedService(const TScopedService&) = delete;
    TScopedService& operator=(const TScopedService&) = delete;

private:
    TSetter m_set;
    T* m_previous;
};
