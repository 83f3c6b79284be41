// Placeholder until the value kinds land.
#include "txl/anyval.h"
