#include "objects/world_time.h"

double worldTime = 0;
