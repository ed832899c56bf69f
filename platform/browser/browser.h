// The embedded browser: the TEdgeBrowser control and its back-end seam.
#pragma once

#include "platform/vcl/vcl.h"

#include "platform/browser/BrowserView.h"
#include "platform/browser/EdgeBrowser.h"

using namespace vcl;
