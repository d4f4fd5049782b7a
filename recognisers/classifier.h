// The line classifier: the recogniser steps in their fixed order.
#pragma once

#include "engine/run_context.h"

namespace krav {

// Tries the steps in order; true when one consumed the line.
bool ClassifyLine(RunContext& run, const LogLine& line);

}  // namespace krav
