#include "forms/ecu_family.h"

namespace velarin {
namespace {

// Form2Controls or const Form2Controls alike.
template <typename Controls>
auto& OptionOf(Controls& f, EcuFamily family) {
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

}  // namespace

OptionButton& FamilyOption(Form2Controls& f, EcuFamily family) { return OptionOf(f, family); }

const OptionButton& FamilyOption(const Form2Controls& f, EcuFamily family) {
  return OptionOf(f, family);
}

bool IsSelected(const Form2Controls& f, EcuFamily family) { return FamilyOption(f, family).value; }

std::optional<EcuFamily> SelectedFamily(const Form2Controls& f) {
  for (const FamilyFacts& facts : kFamilies) {
    if (IsSelected(f, facts.id)) return facts.id;
  }
  return std::nullopt;
}

const FamilyFacts* SelectedFacts(const Form2Controls& f) {
  const std::optional<EcuFamily> family = SelectedFamily(f);
  return family ? &FactsOf(*family) : nullptr;
}

void SelectFamilyOption(Form2Controls& f, EcuFamily family) {
  for (const FamilyFacts& facts : kFamilies) FamilyOption(f, facts.id).value = facts.id == family;
}

}  // namespace velarin
