#pragma once
// The service report a workshop hands to the bike's owner: one HTML page with
// its style inside, no script and no external file, laid out for A4 paper.

#include <string>
#include <string_view>

#include "report/session_record.h"

namespace velarin::report {

// `date` and `version` are shown as given (UTF-8).
std::string ServiceReportHtml(const SessionRecord& record, std::string_view date,
                              std::string_view version);

}  // namespace velarin::report
