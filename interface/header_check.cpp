#include "cpi.h"
