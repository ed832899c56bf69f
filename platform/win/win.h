// The Windows layer: everything the program calls of the Windows API.
#pragma once

#include "platform/win/Types.h"
#include "platform/win/Rect.h"
#include "platform/win/LastError.h"
#include "platform/win/Clock.h"

#include "platform/win/Messages.h"
#include "platform/win/Window.h"
#include "platform/win/Paint.h"
#include "platform/win/Gdi.h"
#include "platform/win/MessageWindow.h"
#include "platform/win/Timers.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Thread.h"
#include "platform/win/Handle.h"
#include "platform/win/Mutex.h"
#include "platform/win/MessageBox.h"
#include "platform/win/MessageBoxResponder.h"
#include "platform/win/Com.h"
#include "platform/win/SystemInfo.h"
#include "platform/win/DebugOutput.h"

// Paths, drives, files, the registry and process start.
#include "platform/win/ErrorMode.h"
#include "platform/win/CurrentDirectory.h"
#include "platform/win/Drives.h"
#include "platform/win/Files.h"
#include "platform/win/FindFile.h"
#include "platform/win/FileTime.h"
#include "platform/win/Registry.h"
#include "platform/win/ShellExecute.h"
#include "platform/win/PathResolver.h"
#include "platform/win/OpenFileHold.h"
#include "platform/win/CRuntimeFile.h"
#include "platform/win/FileFaults.h"

using namespace win;
