// The program's log: the last 300 lines as a ring in memory, continued from
// "Icon\Log.log" of the previous run and written back after every warning or
// error and at exit.
//
// Every log call is safe from the user interface thread and the track worker
// (one lock around the ring and the save) and never raises: a log call sits
// inside every error handler. LogMessage shows a box and is for the user
// interface thread only.
#pragma once

#include <mutex>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/UnicodeString.h"
#include "platform/vcl/DataModule.h"

class TMyLogModule : public vcl::TDataModule {
public:
    static constexpr int RingSize = 300;

    explicit TMyLogModule(vcl::TComponent* Owner);
    ~TMyLogModule() override;

    void LogDebug(const rtl::AnsiString& text);
    void LogInfo(const rtl::AnsiString& text);
    void LogError(const rtl::AnsiString& text);
    // Shows the text in a box first ("Error" for level 3, else "Warning").
    void LogMessage(const rtl::AnsiString& text, int level);
    // Levels 0 debug, 1 information, 2 warning, 3 error (and above: error);
    // a negative level writes nothing.
    void WriteLog(const rtl::AnsiString& text, int level, bool showBox);
    void OpenLog();
    void CloseLog();

    // For tests: the ring index the next line goes to, the ring itself (null
    // when closed) and the log file's path.
    int NextLine() const;
    int LineCount() const;
    rtl::UnicodeString Line(int index) const;
    rtl::UnicodeString LogPath() const;

    // The tag written for a level.
    static const char* LevelTag(int level);
    // True when the first 19 characters are "YYYY/MM/DD hh:nn:ss" with valid
    // fields.
    static bool HasTimeStamp(const rtl::UnicodeString& line);

private:
    // Caller holds FLock. Never raises.
    void SaveLocked();

    mutable std::recursive_mutex FLock;
    int FNextLine = 0;
    rtl::UnicodeString FLogPath;
    rtl::TStringList* FLines = nullptr;
};

extern TMyLogModule* MyLogModule;

// Writes the exception's message as an error line, when the log exists (an
// error handler may run before it does or after it has gone).
void LogExceptionError(const rtl::Exception& e);
