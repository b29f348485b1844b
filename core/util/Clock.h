#pragma once

// The clock service lives with the widget-free base of the engines.
#include "engine/Clock.h"
