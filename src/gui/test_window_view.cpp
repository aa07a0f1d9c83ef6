#include "gui/test_window_view.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "forms/captions.h"
#include "gui/widgets.h"
#include "ui/test_window.h"

namespace velarin::gui {
namespace {
constexpr int kButtonColumns = 3;
constexpr int kCustomCodeButton = 7;  // Command8, beside its code box
}  // namespace

TestWindowView::TestWindowView(GuiLoop& loop) : loop_(loop) {
  back = menuBar()->addAction(Q(captions::kBack));
  connect(back, &QAction::triggered, this, [this] { loop_.Post(ClickBack); });

  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  auto* grid = new QGridLayout;
  for (int i = 0; i < kTestButtonCount; ++i) {
    Command[i] = new QPushButton(central);
    const int k = i + 1;
    connect(Command[i], &QPushButton::clicked, this,
            [this, k] { loop_.Post([k](App& app) { ClickTest(app, k); }); });
    if (i != kCustomCodeButton) {
      grid->addWidget(Command[i], i / kButtonColumns, i % kButtonColumns);
      continue;
    }
    // "Custom code" shares its cell with the code it sends.
    auto* cell = new QHBoxLayout;
    Text1 = new QLineEdit(central);
    Text1->setFixedWidth(48);
    cell->addWidget(Command[i], 1);
    cell->addWidget(Text1);
    grid->addLayout(cell, i / kButtonColumns, i % kButtonColumns);
  }
  for (int c = 0; c < kButtonColumns; ++c) grid->setColumnStretch(c, 1);
  connect(Text1, &QLineEdit::textEdited, this, [this](const QString& text) {
    loop_.Post([t = ToCodePage(text)](App& app) { SetCustomCode(app, t); });
  });
  column->addLayout(grid);

  Pg1 = new QProgressBar(central);
  Pg1->setTextVisible(true);
  Pg1->setFormat("%v / %m s");
  column->addWidget(Pg1);

  Frame1_ = new QGroupBox(central);
  auto* co = new QHBoxLayout(Frame1_);
  Option1 = new QRadioButton(Frame1_);
  Option2 = new QRadioButton(Frame1_);
  Slider1 = new QSlider(Qt::Horizontal, Frame1_);
  Text2 = new QLineEdit(Frame1_);
  Text2->setFixedWidth(48);
  Command10 = new QPushButton(Frame1_);
  co->addWidget(Option1);
  co->addWidget(Option2);
  co->addWidget(Slider1, 1);
  co->addWidget(Text2);
  co->addWidget(Command10);
  connect(Option1, &QRadioButton::clicked, this, [this] { loop_.Post(ClickCoOn); });
  connect(Option2, &QRadioButton::clicked, this, [this] { loop_.Post(ClickCoOff); });
  connect(Slider1, &QSlider::valueChanged, this, [this](int value) {
    if (!applying_) loop_.Post([value](App& app) { MoveSlider(app, value); });
  });
  connect(Text2, &QLineEdit::textEdited, this, [this](const QString& text) {
    loop_.Post([t = ToCodePage(text)](App& app) { SetTrimmerText(app, t); });
  });
  connect(Command10, &QPushButton::clicked, this, [this] { loop_.Post(ClickTrimmerOk); });
  column->addWidget(Frame1_);

  Rtb1 = MakeLogBox(central);
  column->addWidget(Rtb1, 1);
  setCentralWidget(central);
  resize(620, 520);
}

void TestWindowView::Apply(const TestView& v) {
  applying_ = true;
  const QString title = Q(v.caption);
  if (windowTitle() != title) setWindowTitle(title);
  for (int i = 0; i < kTestButtonCount; ++i) ApplyButton(Command[i], v.Command[i]);
  ApplyButton(Command10, v.Command10);
  ApplyTypedText(Text1, v.Text1);
  ApplyTypedText(Text2, v.Text2);
  // A maximum not above the minimum would turn the bar into a busy indicator.
  const int max = std::max(v.Pg1.max, v.Pg1.min + 1);
  Pg1->setRange(v.Pg1.min, max);
  Pg1->setValue(std::clamp(v.Pg1.value, v.Pg1.min, max));
  {
    const QSignalBlocker block(Slider1);
    Slider1->setRange(v.Slider1.min, v.Slider1.max);
    Slider1->setSingleStep(v.Slider1.small_change);
    Slider1->setPageStep(v.Slider1.large_change);
    if (!Slider1->isSliderDown()) Slider1->setValue(v.Slider1.value);
    Slider1->setEnabled(v.Slider1.enabled);
  }
  ApplyGroup(Frame1_, v.Frame1);
  ApplyOption(Option1, v.Option1);
  ApplyOption(Option2, v.Option2);
  back->setText(Q(v.back.caption));
  back->setEnabled(v.back.enabled);
  ApplyLog(Rtb1, v.log, &log_scrolls_);
  if (isVisible() != v.shown) setVisible(v.shown);
  applying_ = false;
}

void TestWindowView::closeEvent(QCloseEvent* event) {
  // The window goes when the loop has left diagnostic mode and unloaded it.
  event->ignore();
  loop_.Post(CloseTestWindow);
}

}  // namespace velarin::gui
