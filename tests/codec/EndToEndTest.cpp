// The one test with the real registration tool: started through ShellExecuteA,
// sharing the file store with this process, slowed down by the environment,
// and found by the real poll.
#include <chrono>
#include <cstdlib>
#include <thread>

#include "CodecFixture.h"
#include "codec/FfdshowInstall.h"
#include "platform/win/FileRegistryStore.h"
#include "platform/win/ProcessStarter.h"

using namespace win;
using namespace codec_test;

namespace {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            saved_ = old, had_ = true;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (had_)
            setenv(name_, saved_.c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::string saved_;
    bool had_ = false;
};

TEST_F(CodecTest, TheRealToolRegistersAndUnregistersWhileTheProgramPolls)
{
    std::string folder = card + "/../registry";
    ScopedEnv registryEnv("VELMORASTINE_REGISTRY", folder);
    ScopedEnv drivesEnv("VELMORASTINE_DRIVES", "E=" + card + ":removable;C=" + computer);
    ScopedEnv toolsEnv("VELMORASTINE_TOOLS", VM_BINARY_DIR);
    ScopedEnv delayEnv("VELMORASTINE_REGSVR32_DELAY_MS", "250");
    auto files = std::make_shared<FileRegistryStore>(folder);
    InstallRegistryStore(files); // the fixture's scope puts its own back
    InstallProcessStarter(nullptr);
    InstallClock(nullptr);

    ASSERT_TRUE(FFDShowRegister(false));
    EXPECT_TRUE(OwnFfdshowRegistered);
    EXPECT_TRUE(Logged("1) ShellExecute('regsvr32 ffdshow.ax') --> Executed"));
    EXPECT_TRUE(Logged("3) ffdshow Video Decoder Filter Install --> Executed"));

    FFDShowUnRegister();
    bool gone = false;
    for (int i = 0; i < 100 && !gone; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        RegistryKey root;
        ASSERT_TRUE(files->Read(RegistryHive::Machine, root));
        const RegistryKey* instances =
            root.Find({u"SOFTWARE", u"Classes", u"CLSID", u"{083863F1-70DE-11D0-BD40-00A0C911CE86}", u"Instance"});
        gone = instances != nullptr && instances->subkeys.empty();
    }
    EXPECT_TRUE(gone);
    RegistryKey user;
    ASSERT_TRUE(files->Read(RegistryHive::User, user));
    EXPECT_EQ(user.Find({u"SOFTWARE", u"GNU", u"ffdshow"}), nullptr);
}

} // namespace
