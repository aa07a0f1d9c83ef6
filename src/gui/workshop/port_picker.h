#pragma once
// The adapter drop-down beside "Com": the serial ports the system has, refreshed
// when one is plugged in or out. The first entry leaves the port to the "Com"
// number; a remembered adapter that is not plugged in stays selected, marked
// "not present".

#include <QComboBox>
#include <QSocketNotifier>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ports/port_list.h"
#include "ports/port_text.h"

namespace velarin::gui {

class PortPicker : public QComboBox {
 public:
  using Lister = std::function<ports::PortList()>;

  // `remembered`: the identity (PortIdentity) the settings file holds, or empty.
  PortPicker(QWidget* parent, std::string remembered, Lister lister = ports::ListSerialPorts);
  ~PortPicker() override;

  // The user chose an entry: the adapter (identity empty for "by Com number").
  std::function<void(const ports::PortChoice&)> on_chosen;

  // Lists the ports again, keeping the selection.
  void Refresh();
  // The entry selected now (identity empty: "by Com number").
  const ports::PortChoice& selected() const;
  // Selects entry `index` as the user would.
  void Choose(int index);

 private:
  void Fill();

  Lister lister_;
  std::string selected_;                    // identity
  std::vector<ports::PortChoice> choices_;  // [0]: by Com number
  std::unique_ptr<ports::PortWatcher> watcher_;
  QSocketNotifier* notifier_ = nullptr;
  QTimer poll_;
};

}  // namespace velarin::gui
