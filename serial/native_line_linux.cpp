// Placeholder until the port code lands.
#include "native_line.h"
