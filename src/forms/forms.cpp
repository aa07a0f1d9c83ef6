#include <string>

#include "forms/captions.h"
#include "forms/ecu_family.h"
#include "forms/form1.h"
#include "forms/form2.h"

namespace velarin {

Form2::Form2() {
  caption = std::string(captions::kMainTitle) + std::string(captions::kMainCredit);
  Frame1.caption = captions::kComPortFrame;
  Label1.caption = captions::kCom;
  Text6.text = captions::kComDefault;
  Check2.caption = captions::kConnect;
  Text5.text = captions::kPauseDefault;
  Text5.visible = false;
  Label8.caption = captions::kPause;
  Label8.visible = false;
  Text11.text = captions::kInterByteDelayDefault;
  Text11.visible = false;
  Label11.caption = captions::kInterByteDelay;
  Label11.visible = false;
  Frame2.caption = captions::kEcuInfoFrame;
  Check3.caption = captions::kEcuData;
  Check3.value = true;
  Check4.caption = captions::kCalibration;
  Check4.value = false;
  Command6.caption = captions::kEcuInfoButton;
  Command7.caption = captions::kCalibrationButton;
  Frame3.caption = captions::kEcuTypeFrame;
  for (const FamilyFacts& family : kFamilies) {
    FamilyOption(*this, family.id).caption = family.caption;
  }
  FamilyOption(*this, kOpeningFamily).value = true;
  Option3.caption = captions::kScaleOne;
  Option3.value = true;
  Option6.caption = captions::kScaleOne;
  Option6.value = true;
  for (int i = 0; i < kChannelCount; ++i) {
    Check1[i].caption = captions::kChannels[i];
    Check1[i].value = true;
    Label3[i].caption = captions::kUnits[i];
  }
  Text1[kThrottleVoltsReadout].visible = false;
  Label9.caption = captions::kVolt;
  Label9.visible = false;
  Label25.caption = captions::kBarScale;
  Command11.caption = captions::kDtc;
  Command11.enabled = false;
  test.caption = captions::kTestsMenu;
}

Form1::Form1() {
  caption = captions::kTestTitle;
  for (int i = 0; i < kTestButtonCount; ++i) Command[i].caption = captions::kTestButtons[i];
  Command10.caption = captions::kOk;
  Command10.enabled = false;
  Text1.text = captions::kCustomCodeDefault;
  Pg1.min = 0;
  Pg1.max = 100;
  Slider1.enabled = false;
  Frame1.caption = captions::kCoFrame;
  Option1.caption = captions::kOn;
  Option2.caption = captions::kOff;
  Option2.value = true;
  back.caption = captions::kBack;
}

}  // namespace velarin
