#include "tessane/platform.h"
