#pragma once
// Writing the service report: the whole page to a temporary file beside the
// target, then a rename over it, so the file is either the old one or the new
// one, never half of either.

#include <string>
#include <string_view>

#include "forms/app.h"
#include "report/session_journal.h"

namespace velarin::report {

// Writes `content` to `path` atomically. Empty on success, else why not
// ("cannot create ...: Permission denied").
std::string WriteFileAtomically(const std::string& path, std::string_view content);

// The local date and time now, "YYYY-MM-DD HH:MM".
std::string LocalDateTimeNow();

// The report of `journal` (after a last look at `app`) to `path`. Returns the one
// message for the user: "Service report written: PATH" or "Service report not
// written: PATH: why". *ok tells which.
std::string WriteServiceReport(SessionJournal& journal, const App& app, const std::string& path,
                               bool* ok);

}  // namespace velarin::report
