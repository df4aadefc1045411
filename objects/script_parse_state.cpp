#include "objects/script_parse_state.h"

ScriptParseState scriptParseState;
