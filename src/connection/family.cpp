#include "connection/family.h"

namespace velarin {

void ShowThrottleVolts(Form2& f, bool shown) {
  f.Text1[kThrottleVoltsReadout].visible = shown;
  f.Label9.visible = shown;
}

void FamilyOption_Click(Form2& f, EcuFamily family) {
  ShowThrottleVolts(f, FactsOf(family).throttle_15rc);
}

}  // namespace velarin
