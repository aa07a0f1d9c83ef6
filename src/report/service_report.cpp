#include "report/service_report.h"

#include <algorithm>

#include "forms/captions.h"
#include "report/html_text.h"
#include "report/report_texts.h"

namespace velarin::report {
namespace {

namespace rt = report_texts;

// Print first: black on white, A4 margins, rows that never split across pages.
// Table attributes as well as CSS, so simpler HTML renderers draw the grid too.
constexpr std::string_view kHead = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>)";
constexpr std::string_view kStyle = R"(</title>
<style>
@page { size: A4; margin: 16mm 14mm; }
body { font-family: "DejaVu Sans", Arial, Helvetica, sans-serif; font-size: 10pt; color: #000; background: #fff; }
h1 { font-size: 17pt; margin: 0 0 3mm 0; }
h2 { font-size: 12.5pt; margin: 7mm 0 2mm 0; border-bottom: 1px solid #000; page-break-after: avoid; }
table { border-collapse: collapse; width: 100%; }
th, td { border: 1px solid #777; padding: 1mm 2mm; text-align: left; vertical-align: top; }
th { background: #e6e6e6; }
tr { page-break-inside: avoid; }
table.facts th { width: 30%; }
.code { font-family: "DejaVu Sans Mono", "Courier New", monospace; }
tr.changed td { font-weight: bold; background: #ffe9a8; }
p.note { margin: 1mm 0 2mm 0; }
p.footer { margin-top: 8mm; font-size: 8.5pt; color: #444; }
@media print { th, tr.changed td { -webkit-print-color-adjust: exact; print-color-adjust: exact; } }
</style>
</head>
<body>
)";
constexpr std::string_view kTable =
    R"(<table border="1" cellspacing="0" cellpadding="4" width="100%")";

class Page {
 public:
  void Raw(std::string_view markup) { out_ += markup; }
  void Text(std::string_view utf8) { out_ += HtmlFromUtf8(utf8); }
  void Ecu(std::string_view bytes) { out_ += HtmlFromCodePage(bytes); }

  void Heading(std::string_view utf8) {
    Raw("<h2>");
    Text(utf8);
    Raw("</h2>\n");
  }
  void Note(std::string_view utf8) {
    Raw("<p class=\"note\">");
    Text(utf8);
    Raw("</p>\n");
  }
  void TableStart(std::string_view css_class = {}) {
    Raw(kTable);
    if (!css_class.empty()) {
      Raw(" class=\"");
      Raw(css_class);
      Raw("\"");
    }
    Raw(">\n");
  }
  void HeaderRow(std::initializer_list<std::string_view> cells) {
    Raw("<tr>");
    for (std::string_view cell : cells) {
      Raw("<th>");
      Text(cell);
      Raw("</th>");
    }
    Raw("</tr>\n");
  }
  void Cell(std::string_view utf8) {
    Raw("<td>");
    Text(utf8);
    Raw("</td>");
  }
  void EcuCell(std::string_view bytes, bool code = false) {
    Raw(code ? "<td class=\"code\">" : "<td>");
    Ecu(bytes);
    Raw("</td>");
  }
  std::string Take() { return std::move(out_); }

 private:
  std::string out_;
};

std::string Joined(const std::vector<std::string>& parts) {
  std::string text;
  for (const std::string& part : parts) {
    if (!text.empty()) text += ' ';
    text += part;
  }
  return text;
}

void MoreNotListed(Page& page, uint64_t dropped, size_t kept) {
  if (dropped == 0) return;
  page.Note(std::to_string(dropped) + std::string(rt::kMoreNotListed) + std::to_string(kept) + ")");
}

void Facts(Page& page, const SessionRecord& r, std::string_view date, std::string_view version) {
  page.TableStart("facts");
  auto row = [&page](std::string_view name, std::string_view value, bool from_ecu) {
    page.Raw("<tr><th>");
    page.Text(name);
    page.Raw("</th>");
    if (value.empty()) {
      page.Cell(rt::kNotRead);
    } else if (from_ecu) {
      page.EcuCell(value, true);
    } else {
      page.Cell(value);
    }
    page.Raw("</tr>\n");
  };
  row(rt::kDate, date, false);
  row(rt::kProgram, std::string(captions::kProgramTitle) + " " + std::string(version), false);
  row(rt::kFamily, r.family, false);
  row(rt::kIsoCode, r.iso_code, true);
  row(rt::kIdentification, r.identification, true);
  row(rt::kCalibration, r.calibration, true);
  page.Raw("</table>\n");
}

void Faults(Page& page, const SessionRecord& r) {
  page.Heading(rt::kFaultsHeading);
  if (r.fault_unanswered > 0 || r.fault_reads > 1) {
    page.Note(std::string(rt::kFaultReads) + std::to_string(r.fault_reads) +
              std::string(rt::kFaultUnanswered) + std::to_string(r.fault_unanswered));
  }
  if (!r.first_fault) {
    page.Note(rt::kNoFaultRead);
    return;
  }
  const FaultRead& before = *r.first_fault;
  if (r.fault_reads < 2) {
    page.Note(rt::kOneFaultRead);
    page.TableStart();
    page.HeaderRow({rt::kReport});
    for (const std::string& line : before.lines) {
      page.Raw("<tr>");
      page.EcuCell(line);
      page.Raw("</tr>\n");
    }
    page.Raw("</table>\n");
    return;
  }
  const FaultRead& after = *r.last_fault;
  std::vector<std::string> clears;
  for (const TestRun& t : r.tests) {
    if (t.clears_dtc && t.seq > before.seq && t.seq < after.seq) clears.push_back(t.verdict);
  }
  page.Raw("<p class=\"note\">");
  page.Text(rt::kClearsBetween);
  if (clears.empty()) page.Text(rt::kNone);
  for (size_t i = 0; i < clears.size(); ++i) {
    if (i > 0) page.Raw(", ");
    page.Ecu(clears[i]);
  }
  page.Raw("</p>\n");

  const size_t rows = std::max(before.lines.size(), after.lines.size());
  size_t changed = 0;
  Page table;
  table.TableStart();
  table.HeaderRow({"#", rt::kBefore, rt::kAfter, rt::kChangedColumn});
  for (size_t i = 0; i < rows; ++i) {
    const std::string_view was = i < before.lines.size() ? before.lines[i] : std::string_view();
    const std::string_view is = i < after.lines.size() ? after.lines[i] : std::string_view();
    const bool differs = was != is;
    changed += differs ? 1 : 0;
    table.Raw(differs ? "<tr class=\"changed\">" : "<tr>");
    table.Cell(std::to_string(i + 1));
    table.EcuCell(was);
    table.EcuCell(is);
    table.Cell(differs ? rt::kChanged : std::string_view());
    table.Raw("</tr>\n");
  }
  table.Raw("</table>\n");
  page.Note(changed == 0 ? std::string(rt::kNothingChanged)
                         : std::string(rt::kLinesChanged) + std::to_string(changed));
  page.Raw(table.Take());
}

void Tests(Page& page, const SessionRecord& r) {
  page.Heading(rt::kTestsHeading);
  if (r.tests.empty()) {
    page.Note(rt::kNoTests);
    return;
  }
  page.TableStart();
  page.HeaderRow({"#", rt::kTest, rt::kLogName, rt::kEcuAnswer, rt::kVerdict});
  for (size_t i = 0; i < r.tests.size(); ++i) {
    const TestRun& t = r.tests[i];
    page.Raw("<tr>");
    page.Cell(std::to_string(i + 1));
    const bool known = t.button >= 1 && t.button <= static_cast<int>(captions::kTestButtons.size());
    page.Cell(known ? captions::kTestButtons[t.button - 1] : std::string_view());
    page.EcuCell(t.name);
    page.EcuCell(Joined(t.answers), true);
    page.EcuCell(t.verdict);
    page.Raw("</tr>\n");
  }
  page.Raw("</table>\n");
  MoreNotListed(page, r.tests_dropped, kMaxTests);
}

void Trimmer(Page& page, const SessionRecord& r) {
  page.Heading(rt::kTrimmerHeading);
  if (r.trimmer.empty()) {
    page.Note(rt::kNoTrimmer);
    return;
  }
  page.TableStart();
  page.HeaderRow({"#", rt::kStep, rt::kSent, rt::kEcuAnswer, rt::kResult});
  for (size_t i = 0; i < r.trimmer.size(); ++i) {
    const TrimmerEntry& e = r.trimmer[i];
    page.Raw("<tr>");
    page.Cell(std::to_string(i + 1));
    switch (e.kind) {
      case TrimmerEntry::Kind::kCoOn:
        page.Cell(rt::kCoOnStep);
        break;
      case TrimmerEntry::Kind::kTrimmer:
        page.Cell(rt::kTrimmerStep);
        break;
      case TrimmerEntry::Kind::kCoOff:
        page.Cell(rt::kCoOffStep);
        break;
    }
    page.EcuCell(e.sent, true);
    page.EcuCell(Joined(e.answers), true);
    page.EcuCell(e.result);
    page.Raw("</tr>\n");
  }
  page.Raw("</table>\n");
  MoreNotListed(page, r.trimmer_dropped, kMaxTrimmerEntries);
}

void Live(Page& page, const SessionRecord& r) {
  page.Heading(rt::kLiveHeading);
  if (r.live.empty()) {
    page.Note(rt::kNoLive);
    return;
  }
  page.Note(std::string(rt::kLiveReads) + std::to_string(r.live_reads));
  page.TableStart();
  page.HeaderRow({rt::kChannel, rt::kValue, rt::kUnit});
  for (const Readout& readout : r.live) {
    page.Raw("<tr>");
    page.Cell(readout.channel);
    if (readout.value.empty()) {
      page.Cell(rt::kNotPolled);
    } else {
      page.EcuCell(readout.value, true);
    }
    page.Cell(readout.unit);
    page.Raw("</tr>\n");
  }
  page.Raw("</table>\n");
}

}  // namespace

std::string ServiceReportHtml(const SessionRecord& record, std::string_view date,
                              std::string_view version) {
  Page page;
  page.Raw(kHead);
  page.Text(std::string(rt::kTitle) + " - " + std::string(captions::kProgramTitle));
  page.Raw(kStyle);
  page.Raw("<h1>");
  page.Text(rt::kTitle);
  page.Raw("</h1>\n");
  Facts(page, record, date, version);
  Faults(page, record);
  Tests(page, record);
  Trimmer(page, record);
  Live(page, record);
  page.Raw("<p class=\"footer\">");
  page.Text(std::string(rt::kFooter) + std::string(captions::kProgramTitle) + " " +
            std::string(version) + ", " + std::string(date));
  page.Raw("</p>\n</body>\n</html>\n");
  return page.Take();
}

}  // namespace velarin::report
