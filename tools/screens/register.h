// The help, notation and file-map screens, registered as "help", "notation"
// and "files".
#pragma once

#include "tools/screens/help.h"
#include "tools/screens/studies.h"
