#pragma once
// Small Qt pieces of the windows: the connection lamp, the engine-speed bar, the
// donation picture, and the helpers that bring a widget to a control's state.

#include <QAbstractButton>
#include <QFont>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QWidget>
#include <bitset>
#include <string>
#include <string_view>

#include "forms/controls.h"
#include "forms/form2.h"
#include "gui/snapshot.h"

namespace velarin::gui {

// The program's own texts (captions, status line, readouts) are UTF-8.
QString Q(std::string_view text);
// A text box the user types into holds bytes of the system's code page, as the
// ECU's texts in the logs do (platform/code_page.h); a character the code page
// has no byte for becomes "?".
QString FromCodePage(std::string_view bytes);
std::string ToCodePage(const QString& text);

// The round lamp Shape1, filled with a BGR colour as the window system stores it.
class Lamp : public QWidget {
 public:
  explicit Lamp(QWidget* parent = nullptr);
  void SetFill(uint32_t bgr);
  uint32_t fill() const { return bgr_; }
  QSize sizeHint() const override { return {22, 22}; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  uint32_t bgr_ = 0;
};

// QColor of a BGR value (65280 green, 255 red).
QColor ColorFromBgr(uint32_t bgr);

// The engine-speed bar Line1(0..119): lit segments in the window-frame colour
// (QPalette::WindowText), unlit ones in the menu-bar colour (QPalette::Button).
class SpeedBar : public QWidget {
 public:
  explicit SpeedBar(QWidget* parent = nullptr);
  void SetLit(const std::bitset<kBarSegments>& lit);
  const std::bitset<kBarSegments>& lit() const { return lit_; }
  QSize sizeHint() const override { return {kBarSegments * 3, 18}; }
  QSize minimumSizeHint() const override { return {kBarSegments * 2, 12}; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  std::bitset<kBarSegments> lit_;
};

// A cup of coffee with a heart, drawn here rather than shipped as a file.
QIcon DonationIcon();

// Bring a widget to a control's state. Texts of a line edit the user is typing
// into are left alone: the typed text is on its way to the loop.
void ApplyLabel(QLabel* w, const Label& c);
void ApplyGroup(QGroupBox* w, const Label& c);
void ApplyText(QLineEdit* w, const TextBox& c);
void ApplyTypedText(QLineEdit* w, const TextBox& c);  // text in the code page
void ApplyCheck(QAbstractButton* w, const CheckBox& c);
void ApplyOption(QRadioButton* w, const OptionButton& c);
void ApplyButton(QAbstractButton* w, const Button& c);
// The "ECU Info" box: its whole (short) text.
void ApplyBox(QPlainTextEdit* w, const TextBox& c);
// A log: appended lines; scrolled to the end when the log's scroll count grew.
void ApplyLog(QPlainTextEdit* w, const LogDelta& delta, size_t* scrolls_seen);

// A fixed-pitch font, whatever the platform calls it.
QFont MonospaceFont();
// The log boxes: read-only, monospace.
QPlainTextEdit* MakeLogBox(QWidget* parent);

}  // namespace velarin::gui
