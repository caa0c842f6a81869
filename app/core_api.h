// The poster and animation core as the window takes it.
#pragma once

#include "animation/animation.h"
#include "render/poster.h"
