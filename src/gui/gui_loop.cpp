#include "gui/gui_loop.h"

#include "livedata/text_forms.h"
#include "report/report_file.h"
#include "ui/navigation.h"

namespace velarin::gui {
namespace {
constexpr int32_t kPublishDuringWaitMs = 40;  // a procedure's pauses show this often
}  // namespace

GuiLoop::GuiLoop(GuiLoopOptions options, Hooks hooks)
    : options_(std::move(options)), hooks_(std::move(hooks)) {}

GuiLoop::~GuiLoop() { Stop(); }

void GuiLoop::Publish() {
  last_publish_ = session_.clock().NowMs();
  ToolsView tools = tools_.Take(session_);
  Snapshot snapshot = taker_.Take(session_.app(), last_publish_);
  snapshot.tools = std::move(tools);
  if (channel_.Publish(std::move(snapshot)) && hooks_.notify) hooks_.notify();
}

bool GuiLoop::Start(std::string* error) {
  EventLoop& loop = session_.loop();
  loop.SetPublish([this] { Publish(); });
  session_.clock().SetHook([this] {
    if (Elapsed(last_publish_, session_.clock().NowMs()) >= kPublishDuringWaitMs) Publish();
  });
  loop.SetMessageBox([this](const std::string& text) {
    if (hooks_.message_box) hooks_.message_box(text);
  });
  loop.SetUrlOpener([this](const std::string& url) {
    if (hooks_.open_url) hooks_.open_url(url);
  });

  if (!options_.decimal_separator.empty()) SetDecimalSeparator(options_.decimal_separator);
  session_.Load(options_);
  settings_path_ = session_.app().settings_path;
  if (options_.simulate && !session_.StartSimulator(error)) return false;
  if (options_.capture) tools_.StartCapture(session_, *options_.capture);
  Publish();
  running_ = true;
  thread_ = std::thread([&loop] { loop.Run(); });
  return true;
}

void GuiLoop::Stop() {
  if (!running_) return;
  running_ = false;
  // Quit from inside, after the unload: a Quit from here would skip the queued unload.
  session_.loop().Post([this] {
    UnloadMainWindow(session_.app());
    Publish();
    session_.loop().Quit();
  });
  if (thread_.joinable()) thread_.join();
}

void GuiLoop::Post(std::function<void(App&)> action) {
  if (!running_) return;
  session_.loop().Post([this, action = std::move(action)] { action(session_.app()); });
}

void GuiLoop::PostServiceReport(std::string path) {
  Post([this, path = std::move(path)](App& app) {
    bool written = false;
    const std::string message = report::WriteServiceReport(session_.journal(), app, path, &written);
    app.form2.status_bar = message;
    if (!written) app.services->MessageBox(message);
  });
}

void GuiLoop::PostTool(std::function<void(ToolsState&, frontend::Session&)> action) {
  if (!running_) return;
  session_.loop().Post([this, action = std::move(action)] { action(tools_, session_); });
}

void GuiLoop::PostConnectSwitch() {
  Post([this](App&) { session_.PressConnectSwitch(); });
}

}  // namespace velarin::gui
