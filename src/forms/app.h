#pragma once
// The program's state: both windows, the main window's link, and the services
// of the event loop around them. Only the handlers that run a whole window
// (the polling tick, Connect, the test window's yielding handlers, the user
// actions) take it; the procedures below them take what they use.

#include <string>

#include "forms/form1.h"
#include "forms/form2.h"
#include "forms/protocol_state.h"
#include "forms/session_observer.h"
#include "platform/clock.h"

namespace velarin {

// What the procedures need from the program around them. The event loop
// implements it for the windows; tests implement it on the virtual clock.
class Services {
 public:
  virtual ~Services() = default;
  virtual Clock& clock() = 0;
  // Lets the window process its pending events once (clicks, typed text; a due
  // tick too when not called from inside a tick).
  virtual void DoEvents() = 0;
  // Makes the current state of the windows visible to the user.
  virtual void Repaint() = 0;
  virtual void MessageBox(const std::string& text) = 0;
  // Opens an https address with the platform's URL opener; never a shell line.
  virtual void OpenUrl(const std::string& url) = 0;
};

struct App {
  Form2 form2;
  Form1 form1;
  ProtocolState protocol;  // the main window's port, timer, flags and tables
  Services* services = nullptr;
  std::string settings_path;            // the profile file beside the executable, or --settings
  SessionObserver* observer = nullptr;  // told of each step that talked to the ECU

  Clock& clock() { return services->clock(); }
};

}  // namespace velarin
