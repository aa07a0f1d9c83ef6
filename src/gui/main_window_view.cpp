#include "gui/main_window_view.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include "forms/captions.h"
#include "forms/ecu_family.h"
#include "livedata/panel.h"
#include "ui/main_window.h"
#include "ui/navigation.h"

namespace velarin::gui {
namespace {
constexpr int kThrottleRow = 6;
constexpr int kReadoutWidth = 90;
}  // namespace

MainWindowView::MainWindowView(GuiLoop& loop, std::function<void()> on_close)
    : loop_(loop), on_close_(std::move(on_close)) {
  test = menuBar()->addAction(Q(captions::kTestsMenu));
  connect(test, &QAction::triggered, this, [this] { loop_.Post(ClickTestsMenu); });

  auto* central = new QWidget(this);
  auto* top = new QHBoxLayout;
  top->addWidget(BuildReadouts(), 3);
  top->addWidget(BuildConnection(), 2);
  auto* column = new QVBoxLayout(central);
  column->addLayout(top);
  Rtb1 = MakeLogBox(central);
  Rtb1->setMinimumHeight(160);
  column->addWidget(Rtb1, 1);
  setCentralWidget(central);
  statusBar()->setSizeGripEnabled(true);
  resize(920, 720);
}

QWidget* MainWindowView::BuildReadouts() {
  auto* panel = new QWidget(this);
  auto* grid = new QGridLayout(panel);
  for (int i = 0; i < kChannelCount; ++i) {
    Check1[i] = new QCheckBox(panel);
    Text1[i] = new QLineEdit(panel);
    Text1[i]->setReadOnly(true);
    Text1[i]->setFixedWidth(kReadoutWidth);
    Text1[i]->setAlignment(Qt::AlignRight);
    Label3[i] = new QLabel(panel);
    grid->addWidget(Check1[i], i, 0);
    grid->addWidget(Text1[i], i, 1);
    grid->addWidget(Label3[i], i, 2);
    connect(Check1[i], &QCheckBox::clicked, this,
            [this, i] { loop_.Post([i](App& app) { ClickChannel(app, i); }); });
  }
  Text1[9] = new QLineEdit(panel);
  Text1[9]->setReadOnly(true);
  Text1[9]->setFixedWidth(kReadoutWidth);
  Text1[9]->setAlignment(Qt::AlignRight);
  Label9 = new QLabel(panel);
  grid->addWidget(Text1[9], kThrottleRow, 3);
  grid->addWidget(Label9, kThrottleRow, 4);
  grid->setColumnStretch(5, 1);

  auto* bar_box = new QVBoxLayout;
  Label25 = new QLabel(panel);
  Line1 = new SpeedBar(panel);
  Label26 = new QLabel(panel);
  // The scale is spaced for fixed-width digits; the bar runs from the centre of
  // its "0" to the centre of its "12", so 12000 rpm lights the last segment.
  Label25->setFont(MonospaceFont());
  const QFontMetrics metrics(Label25->font());
  const int digit = metrics.horizontalAdvance(QLatin1Char('0'));
  Line1->setFixedWidth(metrics.horizontalAdvance(Q(captions::kBarScale)) - digit * 3 / 2);
  auto* bar_row = new QHBoxLayout;
  bar_row->addSpacing(digit / 2);
  bar_row->addWidget(Line1);
  bar_row->addStretch(1);
  bar_box->addWidget(Label25);
  bar_box->addLayout(bar_row);
  bar_box->addWidget(Label26);
  grid->addLayout(bar_box, kChannelCount, 0, 1, 6);
  grid->setRowStretch(kChannelCount + 1, 1);  // the rows keep together at the top
  return panel;
}

QWidget* MainWindowView::BuildConnection() {
  auto* panel = new QWidget(this);
  auto* column = new QVBoxLayout(panel);

  Frame1_ = new QGroupBox(panel);
  auto* com = new QHBoxLayout(Frame1_);
  Label1_ = new QLabel(Frame1_);
  Text6 = new QLineEdit(Frame1_);
  Text6->setFixedWidth(50);
  Check2 = new QPushButton(Frame1_);
  Check2->setCheckable(true);
  Shape1 = new Lamp(Frame1_);
  com->addWidget(Label1_);
  com->addWidget(Text6);
  com->addWidget(Check2, 1);
  com->addWidget(Shape1);
  connect(Text6, &QLineEdit::textEdited, this, [this](const QString& text) {
    loop_.Post([t = ToCodePage(text)](App& app) { SetComText(app, t); });
  });
  connect(Check2, &QPushButton::clicked, this, [this] { loop_.PostConnectSwitch(); });
  column->addWidget(Frame1_);

  Frame3_ = new QGroupBox(panel);
  auto* family = new QHBoxLayout(Frame3_);
  for (size_t i = 0; i < options.size(); ++i) {
    options[i] = new QRadioButton(Frame3_);
    family->addWidget(options[i]);
    const EcuFamily f = kFamilies[i].id;
    connect(options[i], &QRadioButton::clicked, this,
            [this, f] { loop_.Post([f](App& app) { ClickFamily(app, f); }); });
  }
  column->addWidget(Frame3_);

  auto* reads = new QGridLayout;
  Check3 = new QCheckBox(panel);
  Command6 = new QPushButton(panel);
  Check4 = new QCheckBox(panel);
  Command7 = new QPushButton(panel);
  reads->addWidget(Check3, 0, 0);
  reads->addWidget(Command6, 0, 1);
  reads->addWidget(Check4, 1, 0);
  reads->addWidget(Command7, 1, 1);
  connect(Check3, &QCheckBox::clicked, this, [this] { loop_.Post(ClickCheck3); });
  connect(Check4, &QCheckBox::clicked, this, [this] { loop_.Post(ClickCheck4); });
  connect(Command6, &QPushButton::clicked, this, [this] { loop_.Post(ClickEcuInfoButton); });
  connect(Command7, &QPushButton::clicked, this, [this] { loop_.Post(ClickCalibrationButton); });
  column->addLayout(reads);

  auto* buttons = new QHBoxLayout;
  Command11 = new QPushButton(panel);
  Command8 = new QToolButton(panel);
  Command8->setIcon(DonationIcon());
  Command8->setIconSize(QSize(40, 40));
  Command8->setToolTip(Q(captions::kDonationTooltip));
  Command8->setAutoRaise(true);
  buttons->addWidget(Command11);
  buttons->addStretch(1);
  buttons->addWidget(Command8);
  connect(Command11, &QPushButton::clicked, this, [this] { loop_.Post(ClickDtc); });
  connect(Command8, &QToolButton::clicked, this, [this] { loop_.Post(ClickDonation); });
  column->addLayout(buttons);

  Frame2_ = new QGroupBox(panel);
  auto* info = new QVBoxLayout(Frame2_);
  Text4 = new QPlainTextEdit(Frame2_);
  Text4->setReadOnly(true);
  Text4->setFont(MonospaceFont());
  Text4->setFixedHeight(80);
  info->addWidget(Text4);
  column->addWidget(Frame2_);

  Label4 = new QLabel(panel);
  column->addWidget(Label4);
  return panel;
}

void MainWindowView::Apply(const MainView& v) {
  const QString title = Q(v.caption);
  if (windowTitle() != title) setWindowTitle(title);
  ApplyGroup(Frame1_, v.Frame1);
  ApplyLabel(Label1_, v.Label1);
  ApplyTypedText(Text6, v.Text6);
  ApplyCheck(Check2, v.Check2);
  Shape1->SetFill(v.Shape1.fill_color);
  ApplyLabel(Label4, v.Label4);
  ApplyGroup(Frame2_, v.Frame2);
  ApplyBox(Text4, v.Text4);
  ApplyCheck(Check3, v.Check3);
  ApplyCheck(Check4, v.Check4);
  ApplyButton(Command6, v.Command6);
  ApplyButton(Command7, v.Command7);
  ApplyGroup(Frame3_, v.Frame3);
  for (size_t i = 0; i < options.size(); ++i) {
    ApplyOption(options[i], FamilyOption(v, kFamilies[i].id));
  }
  for (int i = 0; i < kChannelCount; ++i) {
    ApplyCheck(Check1[i], v.Check1[i]);
    ApplyLabel(Label3[i], v.Label3[i]);
  }
  for (int i = 0; i < kReadoutCount; ++i) ApplyText(Text1[i], v.Text1[i]);
  ApplyLabel(Label9, v.Label9);
  ApplyLabel(Label25, v.Label25);
  ApplyLabel(Label26, v.Label26);
  Line1->SetLit(v.lit());
  ApplyButton(Command11, v.Command11);
  Command8->setEnabled(v.Command8.enabled);
  test->setText(Q(v.test.caption));
  test->setEnabled(v.test.enabled);
  const QString status = Q(v.status_bar);
  if (statusBar()->currentMessage() != status) statusBar()->showMessage(status);
  ApplyLog(Rtb1, v.log, &log_scrolls_);
  if (isVisible() != v.visible) setVisible(v.visible);
}

void MainWindowView::AddBesideCom(QWidget* widget) {
  auto* row = static_cast<QHBoxLayout*>(Frame1_->layout());
  row->insertWidget(row->indexOf(Text6) + 1, widget, 1);
}

void MainWindowView::closeEvent(QCloseEvent* event) {
  event->accept();
  if (on_close_) on_close_();
}

}  // namespace velarin::gui
