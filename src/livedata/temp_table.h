#pragma once
// The P8 temperature table: raw byte -> degrees C, built when the main window loads.

#include "forms/form2.h"

namespace velarin {

void BuildTempTable(Form2& f);

}  // namespace velarin
