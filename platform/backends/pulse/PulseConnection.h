// The program's one connection to the sound server: a libpulse threaded
// main loop and its context. Nothing here waits on the server longer than
// a timeout: connecting goes on in the loop's thread, a failed or lost
// connection is tried again at most every few seconds, and a stuck server
// simply never becomes ready. Callers take the loop's lock (Lock) around
// every use of the context or its streams.
//
// Thread: any; the loop's callbacks run on its own thread with the lock held.
#pragma once

#include <chrono>
#include <string>

#include <pulse/pulseaudio.h>

namespace pulse {

class PulseConnection {
public:
    // The program's connection, to the server libpulse finds itself.
    static PulseConnection& Instance();
    // A connection of its own, to `server` (libpulse's server string; null:
    // the default), for tests.
    explicit PulseConnection(const char* server);
    ~PulseConnection();
    PulseConnection(const PulseConnection&) = delete;
    PulseConnection& operator=(const PulseConnection&) = delete;

    // True when the context is ready. Otherwise starts connecting (unless
    // an attempt is under way or failed lately) and returns false at once,
    // or, with `wait`, after at most that long.
    bool Ready(std::chrono::milliseconds wait = std::chrono::milliseconds(0));

    // Waits for an operation, releasing the lock while it sleeps; cancels
    // it after `timeout`. Takes ownership of `op` (null: false). The caller
    // holds the lock.
    bool Wait(pa_operation* op, std::chrono::milliseconds timeout);

    pa_context* Context() const { return context_; } // null when not connected
    pa_threaded_mainloop* Loop() const { return loop_; }

    class Lock {
    public:
        explicit Lock(PulseConnection& c);
        ~Lock();
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        pa_threaded_mainloop* loop_;
    };

    // How long a call may wait for the server.
    static constexpr std::chrono::milliseconds kTimeout{500};

private:
    // Lock held.
    void StartConnecting();
    void DropContext();

    std::string server_;
    bool hasServer_ = false;
    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    std::chrono::steady_clock::time_point lastAttempt_{};
    bool attempted_ = false;
};

} // namespace pulse
