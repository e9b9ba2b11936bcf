#include "help/Version.h"

const Version programVersion{VEXLON_VERSION_MAJOR, VEXLON_VERSION_MINOR, VEXLON_VERSION_REVISION};
