// Language-tagged speech: the first step of the line classifier.
#pragma once

#include "engine/run_context.h"

namespace krav {

// "Bob says, in Elvish, 'well met'" makes Elvish the current language; the line is consumed and written
// nowhere.
bool CaptureLanguage(RunContext& run, const LogLine& line);

}  // namespace krav
