// The main window against a simulated ECU on a pseudo-terminal, in real time.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QMessageBox>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <algorithm>

#include "forms/captions.h"
#include "gui/widgets.h"
#include "gui_fixture.h"
#include "sim/ecu_scenario.h"
#include "sim/pty_host.h"

namespace velarin::gui {
namespace {

TEST_F(GuiTest, OpensAsTheWindowLoadSaysWithHiddenControlsHidden) {
  options_.simulate = true;
  Start();
  MainWindowView& w = main();
  EXPECT_TRUE(w.isVisible());
  EXPECT_FALSE(tests().isVisible());
  EXPECT_EQ(w.windowTitle().toStdString(),
            std::string(captions::kMainTitle) + std::string(captions::kMainCredit));
  // The window system appends a display name of the application to every
  // caption: there must be none beyond the application's own name.
  EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
  EXPECT_EQ(w.Check2->text(), "Connect");
  EXPECT_TRUE(w.Check2->isCheckable());
  EXPECT_FALSE(w.Check2->isChecked());
  EXPECT_TRUE(w.options[0]->isChecked());
  EXPECT_FALSE(w.Command11->isEnabled());
  EXPECT_TRUE(w.test->isEnabled());
  EXPECT_EQ(w.test->text(), "Tests");
  EXPECT_EQ(w.Text6->text(), "1");
  EXPECT_TRUE(w.Check3->isChecked());
  EXPECT_FALSE(w.Check4->isChecked());
  for (QCheckBox* box : w.Check1) EXPECT_TRUE(box->isChecked());
  EXPECT_FALSE(w.Text1[9]->isVisible());
  EXPECT_FALSE(w.Label9->isVisible());
  EXPECT_EQ(w.Label3[0]->text(), "tr/m");
  EXPECT_EQ(w.Label3[2]->text(), QString::fromUtf8("°"));
  EXPECT_EQ(w.Label25->text().toStdString(), std::string(captions::kBarScale));
  EXPECT_EQ(w.Line1->lit().count(), 0u);
  EXPECT_EQ(w.Command8->toolTip().toStdString(), std::string(captions::kDonationTooltip));
  EXPECT_FALSE(w.Command8->icon().isNull());
  EXPECT_TRUE(w.Rtb1->isReadOnly());
  EXPECT_TRUE(QFontInfo(w.Rtb1->font()).fixedPitch()) << w.Rtb1->font().family().toStdString();

  // The donation button opens its page (handed to the URL opener, never a shell).
  QTest::mouseClick(w.Command8, Qt::LeftButton);
  ASSERT_TRUE(WaitUntil([&] { return !urls_.empty(); }));
  EXPECT_EQ(urls_[0].toString().toStdString(), std::string(captions::kDonationUrl));

  // Family options: 15Rc shows the throttle-voltage readout, 16m hides it again.
  QTest::mouseClick(w.options[1], Qt::LeftButton);
  ASSERT_TRUE(WaitUntil([&] { return w.Text1[9]->isVisible() && w.Label9->isVisible(); }));
  QTest::mouseClick(w.options[2], Qt::LeftButton);
  ASSERT_TRUE(WaitUntil([&] { return !w.Text1[9]->isVisible(); }));
  EXPECT_TRUE(w.options[2]->isChecked());
  EXPECT_FALSE(w.options[1]->isChecked());
}

TEST_F(GuiTest, ConnectShowsTheLinkLiveDataAndTheFaultReport) {
  options_.simulate = true;
  options_.ecu = EcuFamily::Ecu15m;
  Start();
  MainWindowView& w = main();
  ConnectAndWaitForLiveData();
  EXPECT_EQ(w.Check2->text(), "Disconnect");
  EXPECT_TRUE(w.Check2->isChecked());
  EXPECT_EQ(w.Shape1->fill(), kColorGreen);
  EXPECT_TRUE(LogHas(w.Rtb1, "1200bds"));
  EXPECT_TRUE(LogHas(w.Rtb1, "init = false => call initial "));
  EXPECT_TRUE(LogHas(w.Rtb1, "Iso code OK"));
  EXPECT_TRUE(LogHas(w.Rtb1, "init successfull"));
  EXPECT_TRUE(LogHas(w.Text4, "Iso Code    : 55018A132740"));
  EXPECT_TRUE(LogHas(w.Text4, "ecu data    : VLR15M0107"));
  EXPECT_TRUE(w.Command11->isEnabled());
  EXPECT_TRUE(w.test->isEnabled());
  EXPECT_TRUE(w.statusBar()->currentMessage().contains("/dev/pts/"))
      << w.statusBar()->currentMessage().toStdString();
  // The window may be drawn between the battery read and the trimmer read that follows it.
  EXPECT_TRUE(WaitUntil([&] {
    return std::none_of(w.Text1.begin(), w.Text1.begin() + kChannelCount,
                        [](const QLineEdit* readout) { return readout->text().isEmpty(); });
  }));
  // The bar follows the engine speed: idle lights about ten of 120 segments.
  ASSERT_TRUE(WaitUntil([&] { return w.Line1->lit().count() > 0; }));
  EXPECT_LT(w.Line1->lit().count(), 120u);
  // The log keeps its newest line in view.
  ASSERT_TRUE(WaitUntil([&] {
    return w.Rtb1->verticalScrollBar()->value() == w.Rtb1->verticalScrollBar()->maximum();
  }));
  Screenshot(w, "main_live.png");

  const int before_report = w.Rtb1->blockCount();
  QTest::mouseClick(w.Command11, Qt::LeftButton);
  ASSERT_TRUE(WaitUntil([&] { return LogHas(w.Rtb1, "Icv OK") || LogHas(w.Rtb1, "Icv Blocked"); }));
  ASSERT_TRUE(WaitUntil([&] { return w.Rtb1->blockCount() >= before_report + 13; }));
  QTest::qWait(300);  // the next frames repaint the readouts after the report
  Screenshot(w, "main_dtc.png");

  // Clearing "water temp" empties its readout; the others go on.
  QTest::mouseClick(w.Check1[5], Qt::LeftButton);
  ASSERT_TRUE(WaitUntil([&] { return w.Text1[5]->text().isEmpty() && !w.Check1[5]->isChecked(); }));
  const QString log_before = w.Rtb1->toPlainText();
  QTest::qWait(500);
  EXPECT_TRUE(w.Text1[5]->text().isEmpty());
  EXPECT_FALSE(w.Text1[4]->text().isEmpty());

  QTest::mouseClick(w.Check2, Qt::LeftButton);
  ASSERT_TRUE(WaitUntil([&] { return w.Check2->text() == "Connect"; }));
  ASSERT_TRUE(WaitUntil([&] { return w.Shape1->fill() == kColorRed; }));
  EXPECT_FALSE(w.Check2->isChecked());
  EXPECT_TRUE(w.Text4->toPlainText().isEmpty());
  for (QLineEdit* readout : w.Text1) EXPECT_TRUE(readout->text().isEmpty());
  EXPECT_FALSE(w.Command11->isEnabled());
  EXPECT_FALSE(w.test->isEnabled());
}

#ifndef _WIN32  // an ECU on a pseudo-terminal
TEST_F(GuiTest, StaysResponsiveWhileTheLoopWaitsAndShowsMessageBoxes) {
  EcuScenario scenario = DefaultScenario(EcuFamily::Ecu15m);
  scenario.answers[0x17] = {};  // the first identification code goes unanswered: a 3 s wait
  scenario.diag_entry_answer = {0x12};
  PtyHost host(scenario);
  ASSERT_TRUE(host.Start()) << host.error();
  options_.device = host.slave_path();
  Start();
  MainWindowView& w = main();
  QTest::mouseClick(w.Check2, Qt::LeftButton);
  host.IgnitionOn(300);
  ASSERT_TRUE(WaitUntil([&] { return LogHas(w.Rtb1, "ask ecu info... "); }));
  // The protocol thread is blocked in its wait; the window is not.
  const QPoint moved = w.pos() + QPoint(40, 30);
  w.move(moved);
  w.Rtb1->verticalScrollBar()->setValue(0);
  QTest::qWait(50);
  EXPECT_EQ(w.pos(), moved);
  EXPECT_FALSE(w.grab().isNull());
  EXPECT_FALSE(LogHas(w.Rtb1, "Ecu info: ")) << "the wait should still run";
  ASSERT_TRUE(WaitUntil([&] { return !w.Text1[7]->text().isEmpty(); }));

  // The test window's entry fails: its message box comes up over the test window.
  w.test->trigger();
  ASSERT_TRUE(WaitUntil([&] { return session_->message_boxes() == 1; }));
  QMessageBox* box = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    return box != nullptr && box->isVisible();
  }));
  EXPECT_EQ(box->text(), "diagnostic mode failed");
  EXPECT_EQ(box->windowTitle(), "Velarin");
  EXPECT_TRUE(tests().isVisible());
  EXPECT_FALSE(w.isVisible());
  box->accept();
}

TEST_F(GuiTest, TestWindowTakesTheLinkAndHandsItBack) {
  EcuScenario scenario = DefaultScenario(EcuFamily::Ecu15m);
  // The fuel pump says "running", then its verdict three seconds later.
  scenario.verdicts[0x80] = TestVerdict{{0x01}, 2500, {0xFF}};
  PtyHost host(scenario);
  ASSERT_TRUE(host.Start()) << host.error();
  options_.device = host.slave_path();
  Start();
  MainWindowView& w = main();
  TestWindowView& t = tests();
  ConnectAndWaitForLiveData([&] { host.IgnitionOn(300); });

  w.test->trigger();
  ASSERT_TRUE(
      WaitUntil([&] { return t.isVisible() && LogHas(t.Rtb1, "Enter in diagnostic mode OK"); }));
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(t.windowTitle(), "Test");
  EXPECT_EQ(t.Command[0]->text(), "Fuel pump");
  EXPECT_EQ(t.Text1->text(), "00");
  EXPECT_FALSE(t.Command10->isEnabled());
  EXPECT_FALSE(t.Slider1->isEnabled());
  EXPECT_TRUE(t.Option2->isChecked());
  EXPECT_EQ(t.Slider1->minimum(), -127);
  EXPECT_EQ(t.Slider1->maximum(), 127);
  EXPECT_EQ(t.Slider1->pageStep(), 5);

  QTest::mouseClick(t.Command[0], Qt::LeftButton);
  ASSERT_TRUE(WaitUntil([&] { return t.Pg1->value() >= 1; }));
  EXPECT_EQ(t.Pg1->maximum(), 36);
  EXPECT_TRUE(LogHas(t.Rtb1, "Fuel pump"));
  EXPECT_TRUE(LogHas(t.Rtb1, "8001"));
  Screenshot(t, "test_wait.png");
  ASSERT_TRUE(WaitUntil([&] { return LogHas(t.Rtb1, "Test finish"); }));
  ASSERT_TRUE(WaitUntil([&] { return t.Pg1->value() == 0; }));

  // Typed text is Windows-1252 too: a refused code shows in the log as typed.
  t.Text1->setFocus();
  t.Text1->selectAll();
  for (const char* c : {"é", "€"}) {
    QTest::sendKeyEvent(QTest::Click, t.Text1, Qt::Key_unknown, QString::fromUtf8(c), {});
  }
  QTest::mouseClick(t.Command[7], Qt::LeftButton);
  ASSERT_TRUE(WaitUntil([&] { return LogHas(t.Rtb1, "Custom code not sent: \"é€\""); }));
  EXPECT_EQ(session_->last_drawn()->test.Text1.text, "\xE9\x80");

  // Typing a trimmer value moves the slider; the slider moves the value.
  QTest::mouseClick(t.Option1, Qt::LeftButton);
  ASSERT_TRUE(WaitUntil([&] { return t.Slider1->isEnabled() && t.Command10->isEnabled(); }));
  EXPECT_FALSE(t.Command[0]->isEnabled());
  ASSERT_TRUE(WaitUntil([&] { return LogHas(t.Rtb1, "Enter CO Regulation OK"); }));
  t.Text2->setFocus();
  t.Text2->selectAll();
  QTest::keyClicks(t.Text2, "200");
  ASSERT_TRUE(WaitUntil([&] { return t.Slider1->value() == 73; }));
  t.Slider1->setValue(0);
  ASSERT_TRUE(WaitUntil([&] {
    t.Slider1->setFocus();
    return t.Text2->text() == "127";
  }));
  QTest::mouseClick(t.Command10, Qt::LeftButton);
  ASSERT_TRUE(WaitUntil([&] { return LogHas(t.Rtb1, "trimmer set to:0"); }));

  // "Back": diagnostic mode left, main window back, polling again.
  t.back->trigger();
  ASSERT_TRUE(WaitUntil([&] { return !t.isVisible() && w.isVisible(); }));
  const int lines = w.Rtb1->blockCount();
  ASSERT_TRUE(
      WaitUntil([&] { return w.Rtb1->blockCount() > lines || !w.Text1[0]->text().isEmpty(); }));

  // The title-bar close acts as "Back".
  w.test->trigger();
  ASSERT_TRUE(
      WaitUntil([&] { return t.isVisible() && LogHas(t.Rtb1, "Enter in diagnostic mode OK"); }));
  t.close();
  ASSERT_TRUE(WaitUntil([&] { return !t.isVisible() && w.isVisible(); }));
}

TEST_F(GuiTest, PulledCableShowsTheConnectionEndedAndWhy) {
  EcuScenario scenario = DefaultScenario(EcuFamily::EcuP8);
  scenario.ident =
      "V\xE9\xC3\xA9\x80"
      "ABCDE";  // Windows-1252: the pair C3 A9 is two characters
  PtyHost host(scenario);
  ASSERT_TRUE(host.Start()) << host.error();
  host.IgnitionOn(0);
  options_.device = host.slave_path();
  Start();
  MainWindowView& w = main();
  QTest::mouseClick(w.options[3], Qt::LeftButton);
  ASSERT_TRUE(WaitUntil([&] { return w.options[3]->isChecked(); }));
  ConnectAndWaitForLiveData();
  EXPECT_TRUE(LogHas(w.Text4, "ecu data    : VéÃ©€ABCDE")) << w.Text4->toPlainText().toStdString();
  EXPECT_TRUE(LogHas(w.Rtb1, " VéÃ©€ABCDE"));
  host.Hangup();
  ASSERT_TRUE(WaitUntil([&] { return w.Check2->text() == "Connect"; }));
  EXPECT_FALSE(w.Check2->isChecked());
  EXPECT_EQ(w.Shape1->fill(), kColorRed);
  const QString status = w.statusBar()->currentMessage();
  EXPECT_TRUE(status.contains(QString::fromStdString(host.slave_path()))) << status.toStdString();
  for (QLineEdit* readout : w.Text1) EXPECT_TRUE(readout->text().isEmpty());
}
#endif  // _WIN32

}  // namespace
}  // namespace velarin::gui
