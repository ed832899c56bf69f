#include "platform/backends/pulse/PulseConnection.h"

#include <thread>

namespace pulse {

namespace {

constexpr std::chrono::seconds kRetryAfter{5};

} // namespace

PulseConnection& PulseConnection::Instance()
{
    // Never destroyed: the loop thread must not outlive its objects at exit.
    static PulseConnection* c = new PulseConnection(nullptr);
    return *c;
}

PulseConnection::PulseConnection(const char* server)
    : server_(server != nullptr ? server : ""), hasServer_(server != nullptr)
{
    loop_ = pa_threaded_mainloop_new();
    if (loop_ != nullptr && pa_threaded_mainloop_start(loop_) < 0) {
        pa_threaded_mainloop_free(loop_);
        loop_ = nullptr;
    }
}

PulseConnection::~PulseConnection()
{
    if (loop_ == nullptr)
        return;
    {
        Lock lock(*this);
        DropContext();
    }
    pa_threaded_mainloop_stop(loop_);
    pa_threaded_mainloop_free(loop_);
}

PulseConnection::Lock::Lock(PulseConnection& c) : loop_(c.loop_)
{
    if (loop_ != nullptr)
        pa_threaded_mainloop_lock(loop_);
}

PulseConnection::Lock::~Lock()
{
    if (loop_ != nullptr)
        pa_threaded_mainloop_unlock(loop_);
}

void PulseConnection::DropContext()
{
    if (context_ == nullptr)
        return;
    pa_context_set_state_callback(context_, nullptr, nullptr);
    pa_context_disconnect(context_);
    pa_context_unref(context_);
    context_ = nullptr;
}

void PulseConnection::StartConnecting()
{
    DropContext();
    attempted_ = true;
    lastAttempt_ = std::chrono::steady_clock::now();
    pa_proplist* props = pa_proplist_new();
    pa_proplist_sets(props, PA_PROP_APPLICATION_NAME, "Velmorastine");
    pa_proplist_sets(props, PA_PROP_MEDIA_ROLE, "video");
    context_ = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(loop_), "Velmorastine", props);
    pa_proplist_free(props);
    if (context_ == nullptr)
        return;
    pa_context_set_state_callback(
        context_,
        [](pa_context*, void* loop) { pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0); },
        loop_);
    // Never start a server of our own.
    if (pa_context_connect(context_, hasServer_ ? server_.c_str() : nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        DropContext();
}

bool PulseConnection::Ready(std::chrono::milliseconds wait)
{
    if (loop_ == nullptr)
        return false;
    Lock lock(*this);
    auto state = [&] { return context_ != nullptr ? pa_context_get_state(context_) : PA_CONTEXT_FAILED; };
    if (state() == PA_CONTEXT_READY)
        return true;
    bool underWay = context_ != nullptr && PA_CONTEXT_IS_GOOD(state());
    if (underWay && std::chrono::steady_clock::now() - lastAttempt_ > kTimeout) {
        // A server that takes the connection and never answers: given up
        // until the next attempt is due.
        DropContext();
        underWay = false;
    }
    if (!underWay) {
        if (attempted_ && std::chrono::steady_clock::now() - lastAttempt_ < kRetryAfter)
            return false;
        StartConnecting();
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (context_ != nullptr && PA_CONTEXT_IS_GOOD(state()) && state() != PA_CONTEXT_READY &&
           std::chrono::steady_clock::now() < deadline) {
        pa_threaded_mainloop_unlock(loop_);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        pa_threaded_mainloop_lock(loop_);
    }
    return state() == PA_CONTEXT_READY;
}

bool PulseConnection::Wait(pa_operation* op, std::chrono::milliseconds timeout)
{
    if (op == nullptr)
        return false;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (pa_operation_get_state(op) == PA_OPERATION_RUNNING && std::chrono::steady_clock::now() < deadline) {
        pa_threaded_mainloop_unlock(loop_);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        pa_threaded_mainloop_lock(loop_);
    }
    const bool done = pa_operation_get_state(op) == PA_OPERATION_DONE;
    if (!done)
        pa_operation_cancel(op);
    pa_operation_unref(op);
    if (!done) {
        // The server stopped answering: no more waiting on it until a new
        // connection is due.
        DropContext();
        attempted_ = true;
        lastAttempt_ = std::chrono::steady_clock::now();
    }
    return done;
}

} // namespace pulse
