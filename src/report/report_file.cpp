#include "report/report_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/local_time.h"
#include "platform/version.h"
#include "report/report_texts.h"
#include "report/service_report.h"

namespace velarin::report {

std::string WriteFileAtomically(const std::string& path, std::string_view content) {
  namespace fs = std::filesystem;
  const fs::path target(path);
  if (target.filename().empty()) return "no file name";
  // Beside the target, so the rename stays on one file system.
  fs::path temp = target;
  temp += ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return std::strerror(errno);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.flush();
    if (!out) {
      const std::string why = std::strerror(errno);
      out.close();
      std::error_code ignored;
      fs::remove(temp, ignored);
      return why;
    }
  }
  std::error_code ec;
  fs::rename(temp, target, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    return ec.message();
  }
  return {};
}

std::string LocalDateTimeNow() {
  const std::tm local = LocalTimeNow();
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  return text;
}

std::string WriteServiceReport(SessionJournal& journal, const App& app, const std::string& path,
                               bool* ok) {
  journal.Observe(app);
  const std::string html = ServiceReportHtml(journal.record(), LocalDateTimeNow(), kProgramVersion);
  const std::string why = WriteFileAtomically(path, html);
  *ok = why.empty();
  if (*ok) return std::string(report_texts::kWritten) + path;
  return std::string(report_texts::kNotWritten) + path + ": " + why;
}

}  // namespace velarin::report
