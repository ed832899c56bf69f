// The graph pane's pictures, drawn by the program itself: the six zoom
// buttons in a normal ("GF_BTN_A_" + Tag) and a pressed look ("GF_BTN_B_" +
// Tag), and the pane's background ("GF_BACK"). Each is made on request, as
// a resource would be loaded.
#pragma once

#include <memory>

#include "platform/vcl/vcl.h"

// The picture of that name (without regard to case); raises EResNotFound
// for any other name.
std::unique_ptr<TBitmap> GraphPicture(const UnicodeString& name);
