#include "OfficeSession.h"

TOfficeSession OfficeSession;
