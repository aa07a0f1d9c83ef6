#include "gui/gui_loop.h"

#include "livedata/text_forms.h"
#include "ui/main_window.h"
#include "ui/navigation.h"

namespace velarin::gui {
namespace {
constexpr int32_t kPublishDuringWaitMs = 40;  // a procedure's pauses show this often
}  // namespace

GuiLoop::GuiLoop(GuiLoopOptions options, Hooks hooks)
    : options_(std::move(options)),
      hooks_(std::move(hooks)),
      clock_(system_clock_),
      device_(MakePlatformSerialDevice()),
      loop_(app_, clock_),
      simulation_(clock_) {}

GuiLoop::~GuiLoop() { Stop(); }

void GuiLoop::Publish() {
  last_publish_ = clock_.NowMs();
  if (channel_.Publish(taker_.Take(app_)) && hooks_.notify) hooks_.notify();
}

bool GuiLoop::Start(std::string* error) {
  app_.settings_path = options_.settings_path;
  app_.protocol.MSComm1.device = device_.get();
  WireMainLoop(loop_, app_);
  loop_.SetPublish([this] { Publish(); });
  clock_.SetHook([this] {
    if (Elapsed(last_publish_, clock_.NowMs()) >= kPublishDuringWaitMs) Publish();
  });
  loop_.SetMessageBox([this](const std::string& text) {
    if (hooks_.message_box) hooks_.message_box(text);
  });
  loop_.SetUrlOpener([this](const std::string& url) {
    if (hooks_.open_url) hooks_.open_url(url);
  });

  if (!options_.decimal_separator.empty()) SetDecimalSeparator(options_.decimal_separator);
  LoadMainWindow(app_);
  if (!options_.com.empty()) SetComText(app_, options_.com);
  if (!options_.device_path.empty()) app_.protocol.MSComm1.device_path = options_.device_path;
  if (options_.simulate) {
    if (options_.simulate_family) ClickFamily(app_, *options_.simulate_family);
    const EcuFamily family = SelectedFamily(app_.form2).value_or(EcuFamily::Ecu15m);
    if (!simulation_.Start(app_, family, error)) return false;
  }
  Publish();
  running_ = true;
  thread_ = std::thread([this] { loop_.Run(); });
  return true;
}

void GuiLoop::Stop() {
  if (!running_) return;
  running_ = false;
  // Quit from inside, after the unload: a Quit from here would skip the queued unload.
  loop_.Post([this] {
    UnloadMainWindow(app_);
    Publish();
    loop_.Quit();
  });
  if (thread_.joinable()) thread_.join();
}

void GuiLoop::Post(std::function<void(App&)> action) {
  if (!running_) return;
  loop_.Post([this, action = std::move(action)] { action(app_); });
}

void GuiLoop::PostConnectSwitch() {
  Post([this](App& app) {
    if (options_.simulate) simulation_.BeforeSwitch(app);
    ClickConnectSwitch(app);
    if (options_.simulate) simulation_.AfterSwitch(app);
  });
}

}  // namespace velarin::gui
