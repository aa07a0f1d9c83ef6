#pragma once
// The ECU family, as the "ECU Type" option buttons select it.

#include <optional>

#include "forms/form2.h"

namespace velarin {

enum class EcuFamily { Ecu15m, Ecu15Rc, Ecu16m, EcuP8 };

// The option button of a family (Option1, Option9, Option7, Option2).
OptionButton& FamilyOption(Form2& f, EcuFamily family);
// The selected family, read from the option buttons at the moment of the call.
// nullopt only if no option is selected (never through the window itself).
std::optional<EcuFamily> SelectedFamily(const Form2& f);

}  // namespace velarin
