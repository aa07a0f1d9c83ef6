#include "forms/ecu_family.h"

namespace velarin {

OptionButton& FamilyOption(Form2& f, EcuFamily family) {
  switch (family) {
    case EcuFamily::Ecu15m:
      return f.Option1;
    case EcuFamily::Ecu15Rc:
      return f.Option9;
    case EcuFamily::Ecu16m:
      return f.Option7;
    case EcuFamily::EcuP8:
      break;
  }
  return f.Option2;
}

std::optional<EcuFamily> SelectedFamily(const Form2& f) {
  if (f.Option1.value) return EcuFamily::Ecu15m;
  if (f.Option9.value) return EcuFamily::Ecu15Rc;
  if (f.Option7.value) return EcuFamily::Ecu16m;
  if (f.Option2.value) return EcuFamily::EcuP8;
  return std::nullopt;
}

}  // namespace velarin
