#include "frontend/adapter_check_run.h"

#include <utility>

#include "frontend/options.h"
#include "frontend/tools_texts.h"
#include "link/link_port.h"

namespace velarin::frontend {

AdapterCheckRun CheckAdapterOnPort(App& app, Clock& clock, std::function<uint64_t()> now_us) {
  AdapterCheckRun run;
  LinkPort& port = app.protocol.MSComm1;
  if (app.form2.Check2.value || port.PortOpen() || port.device == nullptr) {
    run.refused = true;
    run.lines = {std::string(tools_texts::kCheckWhileConnected)};
    return run;
  }
  // The port the next Connect would open.
  const int16_t number = PortNumberFromText(app.form2.Text6.text);
  AdapterCheckOptions options;
  options.device_path = port.device_path;
  if (options.device_path.empty() && number >= 1) options.device_path = DevicePathForPort(number);
  options.now_us = std::move(now_us);
  run.result = RunAdapterCheck(*port.device, clock, options);
  run.lines = AdapterCheckLines(run.result);
  return run;
}

int AdapterCheckExitCode(const AdapterCheckRun& run) {
  const auto& items = run.result.items;
  if (run.refused || (!items.empty() && items.front().id == CheckItemId::kPort)) return kExitDevice;
  return run.result.Overall() == CheckVerdict::kFail ? kExitAdapterUnfit : kExitOk;
}

}  // namespace velarin::frontend
