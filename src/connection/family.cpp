#include "connection/family.h"

#include "forms/captions.h"
#include "livedata/frames.h"

namespace velarin {
namespace {

constexpr std::array<FamilyProfile, 4> kFamilies = {{
    {EcuFamily::Ecu15m, captions::k15m, "1", true, true, false, &ReadLive15m, TestCodeGroup::A,
     false},
    {EcuFamily::Ecu15Rc, captions::k15Rc, "4", false, true, false, &ReadLive15m, TestCodeGroup::A,
     true},
    {EcuFamily::Ecu16m, captions::k16m, "3", true, true, false, &ReadLive16m, TestCodeGroup::B,
     false},
    {EcuFamily::EcuP8, captions::kP8, "2", false, false, true, &ReadLiveP8, TestCodeGroup::B,
     false},
}};

void ShowExtraReadout(Form2& f, bool shown) {
  f.Text1[9].visible = shown;
  f.Label9.visible = shown;
}

}  // namespace

const std::array<FamilyProfile, 4>& FamilyTable() { return kFamilies; }

const FamilyProfile& ProfileOf(EcuFamily family) {
  for (const FamilyProfile& p : kFamilies) {
    if (p.family == family) return p;
  }
  return kFamilies[0];
}

std::optional<EcuFamily> FamilyFromSettingsCode(std::string_view code) {
  for (const FamilyProfile& p : kFamilies) {
    if (p.settings_code == code) return p.family;
  }
  return std::nullopt;
}

bool IsSelected(const Form2& f, EcuFamily family) { return SelectedFamily(f) == family; }

void SelectFamilyOption(Form2& f, EcuFamily family) {
  for (const FamilyProfile& p : kFamilies) FamilyOption(f, p.family).value = p.family == family;
}

void Option1_Click(App& app) {
  ShowExtraReadout(app.form2, ProfileOf(EcuFamily::Ecu15m).extra_readout);
}
void Option9_Click(App& app) {
  ShowExtraReadout(app.form2, ProfileOf(EcuFamily::Ecu15Rc).extra_readout);
}
void Option7_Click(App& app) {
  ShowExtraReadout(app.form2, ProfileOf(EcuFamily::Ecu16m).extra_readout);
}
void Option2_Click(App& app) {
  ShowExtraReadout(app.form2, ProfileOf(EcuFamily::EcuP8).extra_readout);
}

void FamilyOption_Click(App& app, EcuFamily family) {
  switch (family) {
    case EcuFamily::Ecu15m:
      return Option1_Click(app);
    case EcuFamily::Ecu15Rc:
      return Option9_Click(app);
    case EcuFamily::Ecu16m:
      return Option7_Click(app);
    case EcuFamily::EcuP8:
      return Option2_Click(app);
  }
}

}  // namespace velarin
