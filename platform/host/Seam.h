// The holder every seam of the layer keeps its back end in: what was
// installed last, else a working default. One verb for all of them:
// Install<Name>(handle) installs and returns the previous handle (empty when
// the default was in force; installing an empty one puts the default back),
// and Scoped<Name> installs for a scope and puts the previous one back, for
// tests.
//
// A handle is a pointer (the installer keeps the object alive while it is
// installed), a shared_ptr (shared with whoever still uses it) or a
// std::function (a factory). Each seam says which threads read it:
//   SeamReaders::UserInterfaceThread  installed and read on that thread only:
//                                     a plain holder;
//   SeamReaders::AnyThread            read on other threads too: atomic for a
//                                     pointer, under a lock otherwise.
#pragma once

#include <atomic>
#include <mutex>
#include <type_traits>
#include <utility>

namespace host {

enum class SeamReaders { UserInterfaceThread, AnyThread };

template <class Handle, SeamReaders Readers>
class Seam {
public:
    using Default = Handle (*)();

    // fallback gives the default handle; it is asked on every read that
    // finds nothing installed (keep it a function-local static).
    constexpr explicit Seam(Default fallback) : fallback_(fallback) {}
    Seam(const Seam&) = delete;
    Seam& operator=(const Seam&) = delete;

    Handle Install(Handle handle)
    {
        if constexpr (kAtomic) {
            return installed_.exchange(handle, std::memory_order_acq_rel);
        } else if constexpr (kLocked) {
            std::lock_guard<std::mutex> guard(mutex_);
            Handle previous = std::move(installed_);
            installed_ = std::move(handle);
            return previous;
        } else {
            Handle previous = std::move(installed_);
            installed_ = std::move(handle);
            return previous;
        }
    }

    // What was installed (empty: none).
    Handle Installed() const
    {
        if constexpr (kAtomic) {
            return installed_.load(std::memory_order_acquire);
        } else if constexpr (kLocked) {
            std::lock_guard<std::mutex> guard(mutex_);
            return installed_;
        } else {
            return installed_;
        }
    }

    // What was installed, else the default.
    Handle Current() const
    {
        Handle handle = Installed();
        if (handle)
            return handle;
        return fallback_();
    }

private:
    static constexpr bool kAny = Readers == SeamReaders::AnyThread;
    static constexpr bool kAtomic = kAny && std::is_pointer_v<Handle>;
    static constexpr bool kLocked = kAny && !kAtomic;
    struct NoLock {};

    std::conditional_t<kAtomic, std::atomic<Handle>, Handle> installed_{};
    [[no_unique_address]] mutable std::conditional_t<kLocked, std::mutex, NoLock> mutex_;
    Default fallback_;
};

// Installs a handle through a seam's Install function for a scope and puts
// the previous one back: using ScopedClock = ScopedInstall<Clock*, &InstallClock>.
template <class Handle, Handle (*Install)(Handle)>
class ScopedInstall {
public:
    explicit ScopedInstall(Handle handle) : previous_(Install(std::move(handle))) {}
    // For a pointer seam: the object itself.
    template <class T>
    requires std::is_pointer_v<Handle> && std::is_convertible_v<T*, Handle>
    explicit ScopedInstall(T& object) : previous_(Install(&object)) {}
    ~ScopedInstall() { Install(std::move(previous_)); }
    ScopedInstall(const ScopedInstall&) = delete;
    ScopedInstall& operator=(const ScopedInstall&) = delete;

    // What was in force before (empty: the default).
    const Handle& Previous() const { return previous_; }

private:
    Handle previous_;
};

} // namespace host
