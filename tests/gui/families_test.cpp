// Each family, simulated on a pty, reaches live data in the window and keeps it moving.

#include <gtest/gtest.h>

#include <QTest>
#include <string>

#include "gui/widgets.h"
#include "gui_fixture.h"

namespace velarin::gui {
namespace {

struct FamilyCase {
  EcuFamily family;
  int option;  // index of the family's option button, in the frame's order
  const char* name;
};

class GuiFamilyTest : public GuiTest, public ::testing::WithParamInterface<FamilyCase> {};

TEST_P(GuiFamilyTest, ShowsMovingLiveData) {
  const FamilyCase& c = GetParam();
  options_.simulate = true;
  options_.ecu = c.family;
  Start();
  MainWindowView& w = main();
  ASSERT_TRUE(WaitUntil([&] { return w.options[c.option]->isChecked(); }));
  ConnectAndWaitForLiveData();
  // A P8 Connect clears every selector but throttle and battery: tick them back on.
  for (QCheckBox* box : w.Check1) {
    if (!box->isChecked()) {
      box->click();  // the middle of a short caption's row lies outside its hit area
      ASSERT_TRUE(WaitUntil([&] { return box->isChecked(); })) << box->text().toStdString();
    }
  }
  ASSERT_TRUE(WaitUntil([&] {
    for (int i = 0; i < kChannelCount; ++i) {
      if (w.Text1[i]->text().isEmpty()) return false;
    }
    return true;
  }));
  EXPECT_EQ(w.Text1[9]->isVisible(), c.family == EcuFamily::Ecu15Rc);
  // The engine model idles with some wobble: the speed readout changes within a few frames.
  const QString first_rpm = w.Text1[0]->text();
  EXPECT_TRUE(WaitUntil([&] { return w.Text1[0]->text() != first_rpm; }, 5000)) << c.name;
  EXPECT_GT(w.Line1->lit().count(), 0u);
  Screenshot(w, (std::string("main_live_") + c.name + ".png").c_str());
}

INSTANTIATE_TEST_SUITE_P(Families, GuiFamilyTest,
                         ::testing::Values(FamilyCase{EcuFamily::Ecu15m, 0, "15m"},
                                           FamilyCase{EcuFamily::Ecu15Rc, 1, "15Rc"},
                                           FamilyCase{EcuFamily::Ecu16m, 2, "16m"},
                                           FamilyCase{EcuFamily::EcuP8, 3, "P8"}),
                         [](const auto& info) { return std::string("F") + info.param.name; });

}  // namespace
}  // namespace velarin::gui
