#include <gtest/gtest.h>

#include <atomic>

#include "VclFixture.h"

namespace {

// Sends one message to a window from its own thread and keeps the answer.
class TSender : public win::TThread {
public:
    explicit TSender(HWND target) : win::TThread(true), FTarget(target) {}
    std::atomic<LRESULT> Result{-1};

protected:
    void Execute() override { Result = win::SendMessage(FTarget, WM_APP + 1, 5, 0); }

private:
    HWND FTarget;
};

class TReceiver : public TForm {
public:
    explicit TReceiver(TComponent* owner) : TForm(owner) { SetName(u"Receiver"); }
    std::atomic<int> Seen{0};
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == WM_APP + 1) {
            ++Seen;
            m.Result = static_cast<LRESULT>(m.WParam) * 2;
            return;
        }
        TForm::Dispatch(m);
    }
};

class ModalThreadTest : public VclTest {};

TEST_F(ModalThreadTest, SendReachesAFormWhileItsModalLoopRuns)
{
    auto* form = NewForm<TReceiver>(&app);
    const HWND target = form->Handle();
    TSender sender(target);
    driver->Then(
        [&] {
            sender.Start();
            // Waiting on the worker: the loop handles the sent message meanwhile.
            win::PumpUntil([&] { return form->Seen.load() == 1; });
        },
        "start the sender and wait for its message");
    driver->AnswerFormResult(u"Receiver", mrOk);
    EXPECT_EQ(form->ShowModal(), mrOk);
    sender.WaitFor();
    EXPECT_EQ(sender.Result.load(), 10);
    EXPECT_EQ(form->Seen.load(), 1);
}

} // namespace
