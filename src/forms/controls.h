#pragma once
// Plain state of the window controls the procedures touch. No behaviour here:
// the procedures are free functions over these structs, the view draws them.

#include <cstdint>
#include <string>

namespace velarin {

struct CheckBox {
  std::string caption;
  bool value = false;  // checked / pressed
  bool enabled = true;
  bool visible = true;
};

struct OptionButton {
  std::string caption;
  bool value = false;  // selected
  bool enabled = true;
};

struct TextBox {
  std::string text;
  bool enabled = true;
  bool visible = true;
};

struct Label {
  std::string caption;
  bool visible = true;
};

struct Button {
  std::string caption;
  bool enabled = true;
};

struct MenuItem {
  std::string caption;
  bool enabled = true;
};

struct Shape {
  uint32_t fill_color = 0;  // BGR as the window system stores it: 65280 green, 255 red
};

// Colours of the engine-speed bar segments: the system colours the bar uses.
inline constexpr uint32_t kColorWindowFrame = 0x80000006u;  // lit
inline constexpr uint32_t kColorMenuBar = 0x80000004u;      // unlit
inline constexpr uint32_t kColorGreen = 65280;
inline constexpr uint32_t kColorRed = 255;

struct LineSegment {
  uint32_t border_color = kColorMenuBar;
  bool Lit() const { return border_color == kColorWindowFrame; }
};

struct Timer {
  bool enabled = false;
  int32_t interval = 0;       // ms
  uint32_t restarted_at = 0;  // clock reading of the last TimerOn; the count starts there
  uint64_t generation = 0;    // bumped by every TimerOn so the loop restarts its count
};

struct ProgressBar {
  int32_t min = 0;
  int32_t max = 100;
  int32_t value = 0;
};

struct Slider {
  int32_t min = -127;
  int32_t max = 127;
  int32_t small_change = 1;
  int32_t large_change = 5;
  int32_t value = 0;
  bool enabled = true;
};

}  // namespace velarin
