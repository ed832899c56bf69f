// The test driver's answers to the folder picker.
#include "platform/vcl/TestDriver.h"

#include <deque>
#include <optional>

namespace vcl {

class TestDriver::FolderAnswers : public FolderPicker {
public:
    explicit FolderAnswers(TestDriver* driver) : FDriver(driver), FPrevious(InstallFolderPicker(this)) {}
    ~FolderAnswers() override { InstallFolderPicker(FPrevious); }

    bool Pick(const UnicodeString& title, const UnicodeString& startFolder, UnicodeString& chosen) override
    {
        Calls.push_back({title, startFolder});
        if (Answers.empty()) {
            FDriver->Record("unexpected folder picker \"" + Utf8(title) + "\"");
            return false;
        }
        const std::optional<UnicodeString> answer = Answers.front();
        Answers.pop_front();
        if (!answer)
            return false;
        chosen = *answer;
        return true;
    }

    std::deque<std::optional<UnicodeString>> Answers;
    std::vector<FolderPickerCall> Calls;

private:
    TestDriver* FDriver;
    FolderPicker* FPrevious;
};

TestDriver::FolderAnswers* TestDriver::NewFolderAnswers(TestDriver* driver) { return new FolderAnswers(driver); }

void TestDriver::DeleteFolderAnswers(FolderAnswers* answers) { delete answers; }

void TestDriver::AnswerFolder(const UnicodeString& folder) { FFolderAnswers->Answers.push_back(folder); }

void TestDriver::CancelFolder() { FFolderAnswers->Answers.push_back(std::nullopt); }

const std::vector<TestDriver::FolderPickerCall>& TestDriver::FolderPickers() const { return FFolderAnswers->Calls; }

int TestDriver::PendingFolderAnswers() const { return static_cast<int>(FFolderAnswers->Answers.size()); }

} // namespace vcl
