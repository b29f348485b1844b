#pragma once

// The generic row writer lives with the widget-free base of the engines.
#include "engine/RowWriter.h"
