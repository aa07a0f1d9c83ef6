#pragma once
// The seam between the user's steps and whoever records the session: a step runs
// as it always does, then app.observer (when there is one) hears which step it
// was and the lines it appended to its window's log.

#include <functional>

#include "forms/app.h"
#include "forms/trace_log.h"

namespace velarin {

void RunObserved(App& app, SessionStep step, int button, const TraceLog& log,
                 const std::function<void()>& run);

}  // namespace velarin
