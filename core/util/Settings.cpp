#include "Settings.h"

TSettings* MyParams = nullptr;
