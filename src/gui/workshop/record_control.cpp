#include "gui/workshop/record_control.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <filesystem>

#include "forms/ecu_family.h"
#include "frontend/csv.h"
#include "gui/workshop/workshop_texts.h"
#include "platform/clock.h"
#include "recording/recording_columns.h"
#include "recording/recording_name.h"
#include "recording/recording_texts.h"

namespace velarin::gui {
namespace {

QString U(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string RowCount(size_t rows) {
  return rows == 1 ? std::string(recording::texts::kOneRow)
                   : std::to_string(rows) + std::string(recording::texts::kRows);
}

}  // namespace

namespace wt = workshop_texts;

RecordControl::RecordControl(QWidget* window, std::string folder,
                             std::function<void(const std::string&)> store_folder)
    : QObject(window),
      window_(window),
      record_(new QAction(U(wt::kRecord), this)),
      folder_menu_(new QMenu(U(wt::kRecordFolder), window)),
      status_(new QLabel(window)),
      folder_(std::move(folder)),
      store_folder_(std::move(store_folder)),
      family_(kFamilies[0].caption) {
  record_->setCheckable(true);
  record_->setToolTip(U(wt::kRecordTip));
  connect(record_, &QAction::toggled, this, [this](bool on) { Toggled(on); });

  connect(folder_menu_->addAction(U(wt::kChooseFolder)), &QAction::triggered, this,
          [this] { ChooseFolder(); });
  ask_each_time_ = folder_menu_->addAction(U(wt::kAskEachTime));
  ask_each_time_->setCheckable(true);
  ask_each_time_->setChecked(folder_.empty());
  connect(ask_each_time_, &QAction::triggered, this, [this] {
    folder_.clear();
    ask_each_time_->setChecked(true);
    if (store_folder_) store_folder_(folder_);
  });
}

void RecordControl::ChooseFolder() {
  const QString start = folder_.empty()
                            ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                            : QString::fromStdString(folder_);
  const QString chosen =
      QFileDialog::getExistingDirectory(window_, U(wt::kChooseFolderTitle), start);
  if (chosen.isEmpty()) return;  // cancelled: as it was
  folder_ = QDir::toNativeSeparators(chosen).toStdString();
  ask_each_time_->setChecked(false);
  if (store_folder_) store_folder_(folder_);
}

void RecordControl::SetChecked(bool on) {
  const bool blocked = record_->blockSignals(true);
  record_->setChecked(on);
  record_->blockSignals(blocked);
}

void RecordControl::Toggled(bool on) {
  if (!on) {
    Finish();
    return;
  }
  const std::string name = recording::SuggestedRecordingName(family_);
  std::string path;
  if (!folder_.empty()) {
    path = Utf8(PathOf(folder_) / name);
  } else {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString chosen = QFileDialog::getSaveFileName(
        window_, U(wt::kSaveTitle), QDir(documents).filePath(QString::fromStdString(name)),
        U(wt::kSaveFilter));
    if (chosen.isEmpty()) {
      SetChecked(false);
      return;
    }
    path = QDir::toNativeSeparators(chosen).toStdString();
  }
  StartInto(path);
}

bool RecordControl::StartInto(const std::string& path) {
  SetChecked(true);
  if (!writer_.Open(path, std::string(recording::kCsvHeader) + "\r\n")) {
    SetChecked(false);
    ShowText(writer_.Message(), true);
    return false;
  }
  // Connected: the recording starts now. Otherwise with the first read.
  started_known_ = connected_;
  started_ms_ = clock_ms_;
  ShowRecording();
  return true;
}

void RecordControl::Finish() {
  SetChecked(false);
  if (!writer_.recording()) return;
  writer_.Close();
  ShowText(writer_.Message(), writer_.failed() || writer_.rows() == 0);
}

void RecordControl::Apply(const Snapshot& s) {
  if (const FamilyFacts* facts = SelectedFacts(s.main)) family_ = std::string(facts->caption);
  clock_ms_ = s.clock_ms;
  if (writer_.recording() && !s.live_rows.empty()) {
    for (const LiveRow& row : s.live_rows) {
      if (!started_known_) {
        started_known_ = true;
        started_ms_ = row.clock_ms;
      }
      const int64_t t_ms = std::max<int32_t>(0, Elapsed(started_ms_, row.clock_ms));
      if (!writer_.WriteRow(frontend::RecordingRow(t_ms, row.readouts))) break;
    }
    if (writer_.failed()) {
      SetChecked(false);
      ShowText(writer_.Message(), true);
    } else {
      ShowRecording();
    }
  }
  const bool connected = s.main.Check2.value;
  // Disconnect, a pulled cable (the switch pops out) or the window unloaded.
  if (connected_ && !connected) Finish();
  connected_ = connected;
}

void RecordControl::ShowRecording() {
  std::string text = std::string(wt::kRecording) + Utf8(PathOf(writer_.path()).filename());
  text += writer_.rows() == 0 ? std::string(wt::kWaitingForData) : ": " + RowCount(writer_.rows());
  ShowText(text, false);
}

void RecordControl::ShowText(const std::string& text, bool error) {
  status_->setText(QString::fromStdString(text));
  status_->setStyleSheet(error ? QStringLiteral("color: #b00000;") : QString());
}

}  // namespace velarin::gui
