// The poster and animation core as the window takes it.
#pragma once

#include "app/pending_core.h"
