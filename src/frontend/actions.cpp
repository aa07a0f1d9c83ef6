#include "frontend/actions.h"

#include <string>

#include "ui/navigation.h"
#include "ui/test_window.h"

namespace velarin::frontend {

std::vector<ActionStep> StepsFor(const CliAction& action) {
  std::vector<ActionStep> steps;
  switch (action.kind) {
    case CliAction::Kind::kDtc:
      steps.push_back([](App& app) { ClickDtc(app); });
      break;
    case CliAction::Kind::kTest: {
      steps.push_back([](App& app) { ClickTestsMenu(app); });
      if (!action.custom_code.empty()) {
        const std::string code = action.custom_code;
        steps.push_back([code](App& app) { SetCustomCode(app, code); });
      }
      const int button = action.test_button;
      steps.push_back([button](App& app) { ClickTest(app, button); });
      steps.push_back([](App& app) {
        if (app.form1.loaded) ClickBack(app);
      });
      break;
    }
    case CliAction::Kind::kTrimmer: {
      const std::string value = std::to_string(action.trimmer);
      steps.push_back([](App& app) { ClickTestsMenu(app); });
      steps.push_back([](App& app) { ClickCoOn(app); });
      steps.push_back([value](App& app) { SetTrimmerText(app, value); });
      steps.push_back([](App& app) { ClickTrimmerOk(app); });
      steps.push_back([](App& app) { ClickCoOff(app); });
      steps.push_back([](App& app) {
        if (app.form1.loaded) ClickBack(app);
      });
      break;
    }
  }
  return steps;
}

}  // namespace velarin::frontend
