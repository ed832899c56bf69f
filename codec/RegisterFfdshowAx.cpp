#include "app/Common.h"
#include "codec/CodecSupport.h"
#include "codec/FfdshowInstall.h"
#include "platform/rtl/AnsiString.h"
#include "platform/win/ShellExecute.h"

using namespace win;
using rtl::UnicodeString;

namespace {

// The parameters are built as one text of any length and handed over as
// arguments (never to a shell); a folder that could close the quotes or
// break the line starts nothing.
int StartRegistrationTool(const UnicodeString& folder, const char16_t* switches)
{
    if (!IsDriveReady(folder))
        return 0;
    if (!codec::detail::IsSafeParameterText(folder))
        return SE_ERR_FNF;
    UnicodeString parameters = UnicodeString(switches) + u"\"" + folder + u"\\ffdshow.ax\"";
    rtl::AnsiString ansi(parameters);
    return ShellExecuteResult(
        ShellExecuteA(codec::detail::OwnerWindow(), nullptr, "regsvr32", ansi.c_str(), nullptr, SW_SHOW));
}

} // namespace

int RegisterFfdshowAx(UnicodeString folder) { return StartRegistrationTool(folder, u"/s "); }

int UnregisterFfdshowAx(UnicodeString folder) { return StartRegistrationTool(folder, u"/s /u "); }
