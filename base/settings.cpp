#include "base/settings.h"

Settings settings;
