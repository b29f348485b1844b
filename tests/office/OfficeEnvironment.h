#pragma once

#include "automation/uno/UnoOffice.h"

#include <QString>

// The one headless office of the binary and its scratch folder.
automation::UnoOffice& TestOffice();
QString TestOfficeFolder();
