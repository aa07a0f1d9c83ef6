#include "connection/family.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "forms/app.h"
#include "ui/main_window.h"

namespace velarin {
namespace {

TEST(FamilyTable, EachFamilyInPollingOrderWithItsCodeAndReader) {
  struct Row {
    EcuFamily family;
    const char* caption;
    const char* code;
    const FrameProfile* reader;
    bool extra;
    LinkStart start;
  } expected[] = {
      {EcuFamily::Ecu15m, "15m", "1", &kReadLive15m, false, LinkStart::kAwaitBurst},
      {EcuFamily::Ecu15Rc, "15Rc", "4", &kReadLive15m, true, LinkStart::kAnswerAtOnce},
      {EcuFamily::Ecu16m, "16m", "3", &kReadLive16m, false, LinkStart::kAwaitBurst},
      {EcuFamily::EcuP8, "P8", "2", &kReadLiveP8, false, LinkStart::kNoHandshake},
  };
  const auto& table = kFamilies;
  ASSERT_EQ(table.size(), std::size(expected));
  for (size_t i = 0; i < table.size(); ++i) {
    SCOPED_TRACE(expected[i].caption);
    EXPECT_EQ(table[i].id, expected[i].family);
    EXPECT_EQ(table[i].caption, expected[i].caption);
    EXPECT_EQ(table[i].settings_code, expected[i].code);
    EXPECT_EQ(table[i].live_frame, expected[i].reader);
    EXPECT_EQ(table[i].throttle_15rc, expected[i].extra);
    EXPECT_EQ(table[i].link_start, expected[i].start);
    EXPECT_EQ(&FactsOf(expected[i].family), &table[i]);
  }
}

TEST(FamilyWithSettingsCode, OnlyTheFourCodes) {
  struct Case {
    const char* code;
    std::optional<EcuFamily> family;
  } cases[] = {{"1", EcuFamily::Ecu15m},  {"2", EcuFamily::EcuP8}, {"3", EcuFamily::Ecu16m},
               {"4", EcuFamily::Ecu15Rc}, {"0", std::nullopt},     {"5", std::nullopt},
               {"", std::nullopt},        {"01", std::nullopt},    {"1 ", std::nullopt},
               {"P8", std::nullopt},      {"15m", std::nullopt},   {"-1", std::nullopt}};
  for (const Case& c : cases) EXPECT_EQ(FamilyWithSettingsCode(c.code), c.family) << c.code;
}

TEST(FamilyClick, ExtraReadoutOnlyFor15Rc) {
  App app;
  const Form2& f = app.form2;
  EXPECT_EQ(SelectedFamily(f), EcuFamily::Ecu15m);
  EXPECT_FALSE(f.Text1[9].visible);
  EXPECT_FALSE(f.Label9.visible);
  struct Step {
    EcuFamily click;
    bool shown;
  } steps[] = {{EcuFamily::Ecu15Rc, true}, {EcuFamily::Ecu16m, false}, {EcuFamily::Ecu15Rc, true},
               {EcuFamily::Ecu15Rc, true}, {EcuFamily::EcuP8, false},  {EcuFamily::Ecu15Rc, true},
               {EcuFamily::Ecu15m, false}};
  for (const Step& s : steps) {
    ClickFamily(app, s.click);
    EXPECT_EQ(SelectedFamily(f), s.click);
    int selected = 0;
    for (const OptionButton* o : {&f.Option1, &f.Option9, &f.Option7, &f.Option2}) {
      selected += o->value ? 1 : 0;
    }
    EXPECT_EQ(selected, 1) << "one group: exactly one option selected";
    EXPECT_EQ(f.Text1[9].visible, s.shown) << FactsOf(s.click).caption;
    EXPECT_EQ(f.Label9.visible, s.shown) << FactsOf(s.click).caption;
    EXPECT_EQ(IsSelected(f, s.click), true);
  }
}

}  // namespace
}  // namespace velarin
