// The tempo map reader moved to platform/ so that the lyric readers can use
// it without depending on playback/.
#pragma once

#include "platform/miditempomap.h"
