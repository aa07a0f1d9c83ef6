#pragma once
// The "Record" toggle: every live-data read of the snapshots into a CSV file, on
// the window's thread, so the protocol's ticks never wait for the disk. The file
// closes with every row on Disconnect, on a pulled cable and when the window
// closes; a write that fails stops the recording and keeps the rows written.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QObject>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

#include "gui/snapshot.h"
#include "recording/recording_writer.h"

namespace velarin::gui {

class RecordControl : public QObject {
 public:
  // `folder`: where recordings go without asking (empty: a save dialog each
  // time); `store_folder` remembers a new choice.
  RecordControl(QWidget* window, std::string folder,
                std::function<void(const std::string&)> store_folder);

  QAction* action() const { return record_; }
  QMenu* folder_menu() const { return folder_menu_; }
  QLabel* status() const { return status_; }

  // The snapshot's reads go into the file; a connection that ended ends the recording.
  void Apply(const Snapshot& snapshot);
  // Starts recording into `path` (the toggle then shows it on). False, with the
  // reason in the status, when the file cannot be written.
  bool StartInto(const std::string& path);
  // Closes the file; the status sums the recording up.
  void Finish();

  const recording::RecordingWriter& writer() const { return writer_; }
  const std::string& folder() const { return folder_; }

 private:
  void Toggled(bool on);
  void ChooseFolder();
  void SetChecked(bool on);
  void ShowRecording();
  void ShowText(const std::string& text, bool error);

  QWidget* window_;
  QAction* record_;
  QMenu* folder_menu_;
  QAction* ask_each_time_;
  QLabel* status_;
  std::string folder_;
  std::function<void(const std::string&)> store_folder_;
  recording::RecordingWriter writer_;
  std::string family_;
  bool connected_ = false;
  uint32_t clock_ms_ = 0;  // of the last snapshot
  bool started_known_ = false;
  uint32_t started_ms_ = 0;  // the loop clock at the start: t_ms 0
};

}  // namespace velarin::gui
