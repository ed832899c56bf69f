// The mixer layer: the master volume through the multimedia mixer functions.
#pragma once

#include "platform/mixer/MixerApi.h"

using namespace mixer;
