#include "platform/win/Thread.h"

#include "platform/win/MessageLoop.h"
#include "platform/win/MessageSystem.h"

#include <cstdio>
#include <cstdlib>

namespace win {

using detail::MessageSystem;
using detail::System;

TThread::TThread(bool CreateSuspended)
    : queue_(System().NewTThreadQueue()), threadId_(queue_->id), createSuspended_(CreateSuspended)
{
}

TThread::~TThread()
{
    bool self = false;
    {
        std::lock_guard<std::mutex> guard(threadMutex_);
        self = thread_.joinable() && thread_.get_id() == std::this_thread::get_id();
    }
    if (self) {
        // FreeOnTerminate: the thread deletes itself at its very end.
        std::lock_guard<std::mutex> guard(threadMutex_);
        thread_.detach();
    } else if (started_.load()) {
        Terminate();
        try {
            WaitFor();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "TThread %u: destroyed while its wait could never end (%s)\n",
                         static_cast<unsigned>(threadId_), e.what());
            std::abort();
        }
    }
    System().EndThread(queue_);
}

void TThread::AfterConstruction()
{
    if (!createSuspended_)
        Start();
}

void TThread::Start()
{
    std::lock_guard<std::mutex> guard(threadMutex_);
    if (started_.load())
        throw EThread(u"Cannot call Start on a running or finished thread");
        // Resolve Execute here, on the creating thread, once the object is
        // complete: the new thread then never reads the object's vtable, which
        // its destructor rewrites.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpmf-conversions"
    execute_ = (void (*)(TThread*))(this->*(&TThread::Execute));
#pragma GCC diagnostic pop
    started_.store(true);
    System().MarkStarted(queue_);
    thread_ = std::thread([this] { Run(); });
}

void TThread::Run()
{
    System().BindCurrent(queue_);
    {
        // Start() has finished writing thread_ and execute_.
        std::lock_guard<std::mutex> guard(threadMutex_);
    }
    try {
        execute_(this);
    } catch (...) {
        fatal_ = std::current_exception();
    }
    const bool freeSelf = FreeOnTerminate.load();
    finished_.store(true);
    System().EndThread(queue_);
    if (freeSelf)
        delete this;
}

int TThread::WaitFor()
{
    MessageSystem& system = System();
    std::shared_ptr<detail::ThreadQueue> self = system.Current();
    if (self == queue_)
        throw EThread(u"Cannot call WaitFor on the thread itself");
    if (!started_.load()) {
        Terminate();
        try {
            Start();
        } catch (const EThread&) {
            // Started by another thread meanwhile.
        }
    }
    {
        std::unique_lock<std::mutex> lock(system.mutex);
        for (;;) {
            system.HandleSentLocked(lock, *self);
            if (queue_->ended)
                break;
            MessageSystem::WaitSpec spec;
            spec.what = "TThread::WaitFor";
            system.WaitLocked(lock, *self, spec, [&] { return queue_->ended || !self->sent.empty(); });
        }
    }
    {
        std::lock_guard<std::mutex> guard(threadMutex_);
        if (thread_.joinable())
            thread_.join();
    }
    return ReturnValue;
}

std::exception_ptr TThread::FatalException() const { return fatal_; }

} // namespace win
