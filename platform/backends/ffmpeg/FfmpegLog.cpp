#include "platform/backends/ffmpeg/FfmpegLog.h"

#include <cstdarg>
#include <mutex>

#include "platform/win/DebugOutput.h"

extern "C" {
#include <libavutil/log.h>
}

namespace ffmpeg {

namespace {

void ToDebugOutput(void* object, int level, const char* format, va_list args)
{
    if (level > av_log_get_level())
        return;
    // Only whole lines carry the "[mjpeg @ 0x...]" prefix.
    static thread_local int printPrefix = 1;
    char line[1024];
    av_log_format_line2(object, level, format, args, line, sizeof line, &printPrefix);
    win::OutputDebugStringA(line);
}

} // namespace

void RouteLogToDebugOutput()
{
    static std::once_flag once;
    std::call_once(once, [] {
        av_log_set_level(AV_LOG_WARNING);
        av_log_set_callback(&ToDebugOutput);
    });
}

} // namespace ffmpeg
