#include "gui/widgets.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScrollBar>
#include <QSignalBlocker>

#include "platform/code_page.h"

namespace velarin::gui {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString FromCodePage(std::string_view bytes) {
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size()));
  // Every character of the code page lies in the Basic Multilingual Plane.
  for (char c : bytes)
    text += QChar(static_cast<char16_t>(CodePointOfByte(static_cast<uint8_t>(c))));
  return text;
}

std::string ToCodePage(const QString& text) {
  std::string bytes;
  for (char32_t cp : text.toUcs4())
    bytes.push_back(static_cast<char>(ByteOfCodePoint(cp).value_or('?')));
  return bytes;
}

QColor ColorFromBgr(uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

Lamp::Lamp(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setMinimumSize(sizeHint());
}

void Lamp::SetFill(uint32_t bgr) {
  if (bgr == bgr_) return;
  bgr_ = bgr;
  update();
}

void Lamp::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const int d = std::min(width(), height()) - 2;
  p.setPen(QPen(palette().color(QPalette::WindowText), 1));
  p.setBrush(ColorFromBgr(bgr_));
  p.drawEllipse(QRectF((width() - d) / 2.0, (height() - d) / 2.0, d, d));
}

SpeedBar::SpeedBar(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void SpeedBar::SetLit(const std::bitset<kBarSegments>& lit) {
  if (lit == lit_) return;
  lit_ = lit;
  update();
}

void SpeedBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QColor lit = palette().color(QPalette::WindowText);
  const QColor unlit = palette().color(QPalette::Button);
  p.fillRect(rect(), palette().color(QPalette::Base));
  const double step = static_cast<double>(width()) / kBarSegments;
  for (int i = 0; i < kBarSegments; ++i) {
    const int x0 = static_cast<int>(i * step);
    const int x1 = std::max(x0 + 1, static_cast<int>((i + 1) * step) - 1);
    p.fillRect(QRect(x0, 1, x1 - x0, height() - 2), lit_[i] ? lit : unlit);
  }
}

QIcon DonationIcon() {
  QPixmap pm(48, 48);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor cup(250, 246, 236);
  const QColor outline(90, 60, 40);
  const QColor coffee(111, 70, 40);
  // Steam.
  p.setPen(QPen(QColor(150, 150, 150), 2, Qt::SolidLine, Qt::RoundCap));
  for (int x : {17, 24, 31}) {
    QPainterPath steam(QPointF(x, 14));
    steam.cubicTo(QPointF(x - 4, 10), QPointF(x + 4, 7), QPointF(x, 3));
    p.drawPath(steam);
  }
  // Handle, cup, coffee.
  p.setPen(QPen(outline, 2.5));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QRectF(33, 20, 11, 12));
  p.setBrush(cup);
  QPainterPath body(QPointF(9, 17));
  body.lineTo(39, 17);
  body.cubicTo(QPointF(39, 34), QPointF(34, 42), QPointF(24, 42));
  body.cubicTo(QPointF(14, 42), QPointF(9, 34), QPointF(9, 17));
  p.drawPath(body);
  p.setPen(Qt::NoPen);
  p.setBrush(coffee);
  p.drawEllipse(QRectF(11, 15, 26, 5));
  // Heart on the cup.
  p.setBrush(QColor(210, 40, 60));
  QPainterPath heart(QPointF(24, 36));
  heart.cubicTo(QPointF(15, 30), QPointF(18, 22), QPointF(24, 27));
  heart.cubicTo(QPointF(30, 22), QPointF(33, 30), QPointF(24, 36));
  p.drawPath(heart);
  // Saucer.
  p.setBrush(cup);
  p.setPen(QPen(outline, 2));
  p.drawEllipse(QRectF(4, 41, 40, 5));
  p.end();
  return QIcon(pm);
}

void ApplyLabel(QLabel* w, const Label& c) {
  const QString text = Q(c.caption);
  if (w->text() != text) w->setText(text);
  w->setVisible(c.visible);
}

void ApplyGroup(QGroupBox* w, const Label& c) {
  const QString text = Q(c.caption);
  if (w->title() != text) w->setTitle(text);
  w->setVisible(c.visible);
}

namespace {

void ApplyLineEdit(QLineEdit* w, const TextBox& c, const QString& text) {
  if (w->text() != text && !(w->hasFocus() && w->isModified())) {
    const QSignalBlocker block(w);
    w->setText(text);
  }
  w->setEnabled(c.enabled);
  w->setVisible(c.visible);
}

}  // namespace

void ApplyText(QLineEdit* w, const TextBox& c) { ApplyLineEdit(w, c, Q(c.text)); }

void ApplyTypedText(QLineEdit* w, const TextBox& c) { ApplyLineEdit(w, c, FromCodePage(c.text)); }

void ApplyCheck(QAbstractButton* w, const CheckBox& c) {
  const QSignalBlocker block(w);
  const QString text = Q(c.caption);
  if (w->text() != text) w->setText(text);
  w->setChecked(c.value);
  w->setEnabled(c.enabled);
  w->setVisible(c.visible);
}

void ApplyOption(QRadioButton* w, const OptionButton& c) {
  const QSignalBlocker block(w);
  const QString text = Q(c.caption);
  if (w->text() != text) w->setText(text);
  if (c.value) {
    w->setChecked(true);
  } else if (w->isChecked()) {
    // An exclusive group refuses to uncheck its checked member directly.
    const bool exclusive = w->autoExclusive();
    w->setAutoExclusive(false);
    w->setChecked(false);
    w->setAutoExclusive(exclusive);
  }
  w->setEnabled(c.enabled);
}

void ApplyButton(QAbstractButton* w, const Button& c) {
  const QString text = Q(c.caption);
  if (w->text() != text) w->setText(text);
  w->setEnabled(c.enabled);
}

void ApplyBox(QPlainTextEdit* w, const TextBox& c) {
  const QString text = Q(DisplayLines(c.text));
  if (w->toPlainText() != text) w->setPlainText(text);
  w->setEnabled(c.enabled);
  w->setVisible(c.visible);
}

void ApplyLog(QPlainTextEdit* w, const LogDelta& delta, size_t* scrolls_seen) {
  if (delta.reset) w->clear();
  if (!delta.appended.empty()) {
    QScrollBar* bar = w->verticalScrollBar();
    const bool at_end = bar->value() == bar->maximum();
    const int kept = bar->value();
    w->appendPlainText(Q(DisplayLines(delta.appended)));
    // Only the procedures scroll the log; where the user left it, it stays.
    if (!at_end) bar->setValue(kept);
  }
  if (delta.scrolls != *scrolls_seen) {
    *scrolls_seen = delta.scrolls;
    w->moveCursor(QTextCursor::End);
    w->verticalScrollBar()->setValue(w->verticalScrollBar()->maximum());
  }
}

QFont MonospaceFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  if (!QFontInfo(font).fixedPitch()) {
    // Some platforms (offscreen among them) name no fixed font of their own.
    font.setFamily(QStringLiteral("monospace"));
    font.setStyleHint(QFont::TypeWriter);
  }
  return font;
}

QPlainTextEdit* MakeLogBox(QWidget* parent) {
  auto* box = new QPlainTextEdit(parent);
  box->setReadOnly(true);
  box->setLineWrapMode(QPlainTextEdit::NoWrap);
  box->setFont(MonospaceFont());
  // A long session must not slow the view down; the log itself keeps every line.
  box->setMaximumBlockCount(200000);
  return box;
}

}  // namespace velarin::gui
