#pragma once
// The ECU family as the "ECU Type" option buttons of the main window select it.
// Every reader looks at the buttons at the moment it runs: nothing is cached.

#include <optional>

#include "forms/form2.h"
#include "protocol/families.h"

namespace velarin {

// The option button of a family (Option1, Option9, Option7, Option2).
OptionButton& FamilyOption(Form2Controls& f, EcuFamily family);
const OptionButton& FamilyOption(const Form2Controls& f, EcuFamily family);
// The selected family, read from the option buttons in table order.
// nullopt only if no option is selected (never through the window itself).
std::optional<EcuFamily> SelectedFamily(const Form2Controls& f);
// The facts of the selected family; nullptr when none is selected.
const FamilyFacts* SelectedFacts(const Form2Controls& f);
// True when `family`'s option button is selected, read now.
bool IsSelected(const Form2Controls& f, EcuFamily family);
// Makes `family`'s option the selected one of the group (the value change alone).
void SelectFamilyOption(Form2Controls& f, EcuFamily family);

}  // namespace velarin
