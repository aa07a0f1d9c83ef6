// The service report's content as the journal records a session: the ECU, the
// fault report before and after with the change marked, the tests with their
// verdicts, the trimmer journal, the readouts, and ECU bytes that cannot break
// the page. Not its layout.

#include "report/service_report.h"

#include <gtest/gtest.h>

#include <string>

#include "diagnostics/fault_report.h"
#include "forms/ecu_family.h"
#include "report/session_journal.h"

namespace velarin::report {
namespace {

using Lines = std::vector<std::string>;

Lines Report(const FaultBytes& bytes) {
  Lines lines;
  for (std::string_view line : FaultReport(bytes)) lines.emplace_back(line);
  return lines;
}

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(ServiceReport, TellsTheSessionAndEscapesEcuBytes) {
  App app;
  SelectFamilyOption(app.form2, EcuFamily::Ecu16m);
  app.form2.Text4.text =
      "Iso Code    : 0102A3B4C5D6\r\necu data    : ID<b>&\x01\xE9\r\ncalibration : C\"1\r\n";
  app.form2.Text1[0].text = "1346";
  const FaultBytes faulty{0x03, 0x00, 0x01};
  const Lines before = Report(faulty);
  const Lines after = Report(FaultBytes{});
  size_t changed = 0;
  for (size_t i = 0; i < before.size(); ++i) changed += before[i] != after[i] ? 1 : 0;
  ASSERT_GT(changed, 0u);

  SessionJournal journal;
  auto step = [&](SessionStep s, Lines lines, int button = 0) {
    journal.StepDone(app, SessionStepDone{s, button, std::move(lines)});
  };
  step(SessionStep::kLiveRead, {});
  step(SessionStep::kFaultRead, before);
  step(SessionStep::kActuatorTest, {"Clear DTC", "83FF", "Test finish"}, 7);
  step(SessionStep::kActuatorTest, {"Fuel pump"}, 1);
  step(SessionStep::kActuatorTest, {"Injector1", "8001", "EE", "Test failed"}, 2);
  step(SessionStep::kFaultRead, {});  // no answer
  step(SessionStep::kFaultRead, after);
  step(SessionStep::kCoOn, {"8D8D", "Enter CO Regulation OK"});
  app.form1.Text2.text = "200";
  app.form1.Slider1.value = 73;
  step(SessionStep::kTrimmer, {"C8C8", "trimmer set to:73"});
  app.form1.Text2.text = "10";
  app.form1.Slider1.value = -117;
  step(SessionStep::kTrimmer, {"0A05"});
  app.form2.Text4.text.clear();  // Disconnect empties the box; the record keeps it

  const std::string html = ServiceReportHtml(journal.record(), "2026-01-02 03:04", "9.8.7");
  for (const char* part :
       {"2026-01-02 03:04", "Velarin 9.8.7", "<td>16m</td>", "0102A3B4C5D6",
        "ID&lt;b&gt;&amp;\\x01\xC3\xA9", "C&quot;1", "between the two reads: Test finish",
        "Fault reports read: 2, without an answer from the ECU: 1",
        "<td>Clear DTC errors</td><td>Clear DTC</td><td class=\"code\">83FF</td><td>Test "
        "finish</td>",
        "<td>Fuel pump</td><td class=\"code\"></td><td>no answer from the ECU</td>",
        "<td class=\"code\">8001 EE</td><td>Test failed</td>",
        "200 (trimmer +73)</td><td class=\"code\">C8C8</td><td>trimmer set to:73</td>",
        "10 (trimmer -117)</td><td class=\"code\">0A05</td><td>not confirmed by the ECU</td>",
        "<td>rpm</td><td class=\"code\">1346</td>"}) {
    EXPECT_NE(html.find(part), std::string::npos) << part;
  }
  EXPECT_EQ(Count(html, "<tr class=\"changed\">"), changed);
  EXPECT_NE(html.find("<td>" + before[0] + "</td><td>" + after[0]), std::string::npos);
  EXPECT_EQ(html.find("<b>"), std::string::npos);
  for (const char* outside : {"<script", "src=", "href=", "url("})
    EXPECT_EQ(html.find(outside), std::string::npos) << outside;
}

// What the journal makes of a step's log lines when they hold no plain verdict.
TEST(SessionJournal, OutcomesTheLogDoesNotSpellOut) {
  struct Case {
    SessionStep step;
    Lines lines;
    std::string outcome;
  };
  const Case cases[] = {
      {SessionStep::kActuatorTest, {}, "not sent (port closed)"},
      {SessionStep::kActuatorTest, {"Coil1", "8101"}, "no verdict (the test window closed first)"},
      {SessionStep::kActuatorTest,
       {"Custom code not sent: \"1FF\" is not one byte (hex 00 to FF)"},
       "Custom code not sent: \"1FF\" is not one byte (hex 00 to FF)"},
      {SessionStep::kCoOn, {"8DFF", "Test finish"}, "Test finish"},
      {SessionStep::kCoOff, {"FF01"}, "not confirmed by the ECU"},
      {SessionStep::kCoOff, {}, "not sent (port closed)"},
      {SessionStep::kTrimmer,
       {"Trimmer not sent: \"300\" is not a whole number from 0 to 254"},
       "Trimmer not sent: \"300\" is not a whole number from 0 to 254"},
  };
  for (const Case& c : cases) {
    App app;
    app.form1.Text2.text = "300";
    SessionJournal journal;
    journal.StepDone(app, SessionStepDone{c.step, 5, c.lines});
    const SessionRecord& r = journal.record();
    const std::string& got =
        c.step == SessionStep::kActuatorTest ? r.tests.at(0).verdict : r.trimmer.at(0).result;
    EXPECT_EQ(got, c.outcome) << c.lines.size();
  }
}

TEST(SessionJournal, KeepsBoundedLists) {
  App app;
  SessionJournal journal;
  Lines lines(kMaxAnswers + 5, std::string(1000, 'A'));  // answers
  lines.insert(lines.begin(), std::string(999, 'x'));    // the name
  for (size_t i = 0; i < kMaxTests + 3; ++i)
    journal.StepDone(app, SessionStepDone{SessionStep::kActuatorTest, 1, lines});
  const SessionRecord& r = journal.record();
  EXPECT_EQ(r.tests.size(), kMaxTests);
  EXPECT_EQ(r.tests_dropped, 3u);
  EXPECT_EQ(r.tests[0].answers.size(), kMaxAnswers);
  EXPECT_EQ(r.tests[0].name.size(), kMaxTextBytes);
  const std::string html = ServiceReportHtml(r, "d", "v");
  EXPECT_NE(html.find("3 more, not listed"), std::string::npos);
}

}  // namespace
}  // namespace velarin::report
