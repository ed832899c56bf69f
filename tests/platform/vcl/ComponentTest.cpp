#include <gtest/gtest.h>

#include "VclFixture.h"

namespace {

// Writes its name to a shared log when destroyed.
class Logged : public TComponent {
public:
    Logged(TComponent* owner, const char* name, EventLog& log) : TComponent(owner), FLog(log), FTag(name) {}
    ~Logged() override
    {
        FLog.Add(std::string("~") + FTag);
        if (OnDestroy)
            OnDestroy();
    }
    std::function<void()> OnDestroy;

private:
    EventLog& FLog;
    std::string FTag;
};

TEST(ComponentTest, OwnerDestroysOwnedNewestFirst)
{
    EventLog log;
    auto* owner = new Logged(nullptr, "owner", log);
    new Logged(owner, "a", log);
    auto* b = new Logged(owner, "b", log);
    new Logged(b, "b1", log);
    new Logged(owner, "c", log);
    EXPECT_EQ(owner->ComponentCount(), 3);
    delete owner;
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"~owner", "~c", "~b", "~b1", "~a"}));
}

TEST(ComponentTest, OwnedDeletedEarlyLeavesItsOwner)
{
    EventLog log;
    auto* owner = new Logged(nullptr, "owner", log);
    auto* a = new Logged(owner, "a", log);
    auto* b = new Logged(owner, "b", log);
    delete a; // as a handler that frees its own component would
    EXPECT_EQ(owner->ComponentCount(), 1);
    EXPECT_EQ(owner->Components(0), b);
    delete owner;
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"~a", "~owner", "~b"}));
}

TEST(ComponentTest, DestructorThatDeletesASiblingIsSafe)
{
    EventLog log;
    auto* owner = new Logged(nullptr, "owner", log);
    auto* a = new Logged(owner, "a", log);
    auto* b = new Logged(owner, "b", log);
    b->OnDestroy = [a] { delete a; };
    delete owner;
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"~owner", "~b", "~a"}));
}

TEST(ComponentTest, LifeTokenExpiresWithTheComponent)
{
    auto* c = new TComponent(nullptr);
    const auto token = c->LifeToken();
    EXPECT_TRUE(Alive(token));
    delete c;
    EXPECT_FALSE(Alive(token));
}

TEST(ComponentTest, NamesAreUniquePerOwnerWithoutRegardToCase)
{
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    a->SetName(u"Button1");
    EXPECT_THROW(b->SetName(u"BUTTON1"), Exception);
    EXPECT_EQ(b->Name(), u"");
    b->SetName(u"Button2");
    EXPECT_EQ(owner.FindComponent(u"button2"), b);
    EXPECT_EQ(owner.FindComponent(u"nothing"), nullptr);
    a->SetName(u"Button1"); // its own name again is fine
}

TEST(ComponentTest, BadIndexRaisesListError)
{
    TComponent owner(nullptr);
    new TComponent(&owner);
    EXPECT_THROW(owner.Components(-1), EListError);
    EXPECT_THROW(owner.Components(1), EListError);
    EXPECT_NE(owner.Components(0), nullptr);
}

TEST(ComponentTest, FreeNotificationTellsTheWatcher)
{
    struct Watcher : TComponent {
        using TComponent::TComponent;
        TComponent* gone = nullptr;
        void Notification(TComponent* c, TOperation op) override
        {
            if (op == opRemove)
                gone = c;
        }
    } watcher(nullptr);
    auto* watched = new TComponent(nullptr);
    watcher.FreeNotification(watched);
    delete watched;
    EXPECT_EQ(watcher.gone, watched);
}

} // namespace
