// FFmpeg writes its warnings and errors to the terminal unless told
// otherwise; ours go to the program's debugger output instead.
#pragma once

namespace ffmpeg {

// Installs the log callback (once; later calls do nothing). Thread-safe.
void RouteLogToDebugOutput();

} // namespace ffmpeg
