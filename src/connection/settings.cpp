#include "connection/settings.h"

#include "connection/connection_texts.h"
#include "connection/family.h"
#include "forms/ecu_family.h"
#include "link/numbers.h"
#include "platform/profile_file.h"

namespace velarin {

std::string LireINI(const std::string& path, std::string_view Entete, std::string_view Variable) {
  return ReadProfileString(path, Entete, Variable);
}

void EcrireINI(const std::string& path, std::string_view Entete, std::string_view Variable,
               std::string_view Valeur) {
  (void)WriteProfileString(path, Entete, Variable, Valeur);
}

void RestoreSettings(Form2& f, const std::string& path) {
  const std::string com = LireINI(path, texts::kSectionHardware, texts::kKeyCom);
  if (!com.empty()) f.Text6.text = com;

  // The window opens on its first family: only then does the file choose another.
  if (IsSelected(f, kOpeningFamily)) {
    const std::string ecu = LireINI(path, texts::kSectionHardware, texts::kKeyEcu);
    std::optional<EcuFamily> family = FamilyWithSettingsCode(ecu);
    if (family && !IsSelected(f, *family)) {
      SelectFamilyOption(f, *family);
      FamilyOption_Click(f, *family);
    }
  }

  // Written back for every family but the opening one, each option tested in turn.
  for (const FamilyFacts& family : kFamilies) {
    if (family.id != kOpeningFamily && IsSelected(f, family.id)) {
      EcrireINI(path, texts::kSectionHardware, texts::kKeyEcu, family.settings_code);
    }
  }
}

void StoreSettings(const Form2& f, const std::string& path) {
  EcrireINI(path, texts::kSectionHardware, texts::kKeyCom,
            ShortestText(NumberFromText(f.Text6.text)));
  if (const FamilyFacts* family = SelectedFacts(f)) {
    EcrireINI(path, texts::kSectionHardware, texts::kKeyEcu, family->settings_code);
  }
}

}  // namespace velarin
