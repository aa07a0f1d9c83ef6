#include "connection/settings.h"

#include "connection/connection_texts.h"
#include "connection/family.h"
#include "link/numbers.h"
#include "platform/profile_file.h"

namespace velarin {

std::string LireINI(const App& app, std::string_view Entete, std::string_view Variable) {
  return ReadProfileString(app.settings_path, Entete, Variable);
}

void EcrireINI(const App& app, std::string_view Entete, std::string_view Variable,
               std::string_view Valeur) {
  (void)WriteProfileString(app.settings_path, Entete, Variable, Valeur);
}

void RestoreSettings(App& app) {
  Form2& f = app.form2;
  const std::string com = LireINI(app, texts::kSectionHardware, texts::kKeyCom);
  if (!com.empty()) f.Text6.text = com;

  if (IsSelected(f, EcuFamily::Ecu15m)) {
    const std::string ecu = LireINI(app, texts::kSectionHardware, texts::kKeyEcu);
    std::optional<EcuFamily> family = FamilyFromSettingsCode(ecu);
    if (family && !IsSelected(f, *family)) {
      SelectFamilyOption(f, *family);
      FamilyOption_Click(app, *family);
    }
  }

  for (EcuFamily family : {EcuFamily::EcuP8, EcuFamily::Ecu16m, EcuFamily::Ecu15Rc}) {
    if (IsSelected(f, family)) {
      EcrireINI(app, texts::kSectionHardware, texts::kKeyEcu, ProfileOf(family).settings_code);
    }
  }
}

void StoreSettings(App& app) {
  const Form2& f = app.form2;
  EcrireINI(app, texts::kSectionHardware, texts::kKeyCom,
            ShortestText(NumberFromText(f.Text6.text)));
  if (std::optional<EcuFamily> family = SelectedFamily(f)) {
    EcrireINI(app, texts::kSectionHardware, texts::kKeyEcu, ProfileOf(*family).settings_code);
  }
}

}  // namespace velarin
