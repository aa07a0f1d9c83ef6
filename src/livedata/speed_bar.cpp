#include "livedata/speed_bar.h"

#include <algorithm>
#include <string>

#include "livedata/conversions.h"
#include "livedata/text_forms.h"

namespace velarin {

void DrawSpeedBar(Form2& f, int64_t level) {
  const int64_t last = kBarSegments - 1;
  for (int64_t i = 0; i <= std::min(level, last); ++i) f.Line1[i].border_color = kColorWindowFrame;
  for (int64_t i = std::max<int64_t>(level, 0); i <= last; ++i) {
    f.Line1[i].border_color = kColorMenuBar;
  }
}

void ShowEngineSpeed(Form2& f, double rpm) {
  const std::string text = WholeNumberText(rpm);
  DrawSpeedBar(f, BarLevel(rpm));
  f.Text1[0].text = text;
  f.Label26.caption = text;
}

}  // namespace velarin
