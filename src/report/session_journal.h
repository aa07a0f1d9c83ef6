#pragma once
// The session's journal: installed as app.observer, it turns each step the user
// made into the record the service report is written from. It runs on the loop's
// thread, as the steps do, and keeps only bounded lists.

#include "forms/app.h"
#include "report/session_record.h"

namespace velarin::report {

class SessionJournal : public SessionObserver {
 public:
  void StepDone(const App& app, const SessionStepDone& done) override;
  // Takes what the main window shows now (family, "ECU Info" box): called before a
  // report is written, so a session without any step still names its ECU.
  void Observe(const App& app);

  const SessionRecord& record() const { return record_; }

 private:
  void AddFaultRead(const std::vector<std::string>& lines);
  void AddTest(const SessionStepDone& done);
  void AddTrimmer(const App& app, const SessionStepDone& done);
  void TakeReadouts(const App& app);

  SessionRecord record_;
  uint64_t seq_ = 0;
};

}  // namespace velarin::report
