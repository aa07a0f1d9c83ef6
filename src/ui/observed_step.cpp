#include "ui/observed_step.h"

#include <string>
#include <string_view>
#include <vector>

namespace velarin {
namespace {

std::vector<std::string> LinesFrom(std::string_view text, size_t from) {
  // A log emptied by the step (the test window reloaded) starts again at 0.
  if (from > text.size()) from = 0;
  std::vector<std::string> lines;
  while (from < text.size()) {
    const size_t end = text.find("\r\n", from);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(from));
      break;
    }
    lines.emplace_back(text.substr(from, end - from));
    from = end + 2;
  }
  return lines;
}

}  // namespace

void RunObserved(App& app, SessionStep step, int button, const TraceLog& log,
                 const std::function<void()>& run) {
  const size_t from = log.Text().size();
  run();
  if (app.observer == nullptr) return;
  app.observer->StepDone(app, SessionStepDone{step, button, LinesFrom(log.Text(), from)});
}

}  // namespace velarin
