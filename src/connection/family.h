#pragma once
// The click handler of the family option buttons (Option1_Click, Option9_Click,
// Option7_Click, Option2_Click are one handler over the family's row): it shows
// the 15Rc throttle-voltage readout for a family that has it and hides it for
// the others.

#include "forms/ecu_family.h"
#include "forms/form2.h"

namespace velarin {

void FamilyOption_Click(Form2& f, EcuFamily family);

// Text1(9) and Label9 shown or hidden.
void ShowThrottleVolts(Form2& f, bool shown);

}  // namespace velarin
