#pragma once
// The four ECU families and everything that differs between them, in one table.
// The wake-up, Connect, the polling tick, the frames, the test window, the
// settings file, the command lines and the simulated ECU all read it. A new
// family is one row here (plus a frame profile when its live data differs) and
// its option button in the window.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "protocol/frame_profile.h"

namespace velarin {

enum class EcuFamily { Ecu15m, Ecu15Rc, Ecu16m, EcuP8 };

// How the link comes up after Connect.
enum class LinkStart {
  kAwaitBurst,    // waits for the ECU's ISO-code burst at 1200 baud, answers, then 7812
  kAnswerAtOnce,  // answers at once without awaiting a burst (the ECU sends none), then 7812
  kNoHandshake,   // 7812 from Connect; the link counts as up as soon as the port is open
};

// The test window's code set.
enum class TestGroup { kA, kB };

struct FamilyFacts {
  EcuFamily id;
  std::string_view caption;        // of its option button, and its name on every command line
  std::string_view settings_code;  // the "Ecu" value of the settings file
  LinkStart link_start;
  const FrameProfile* live_frame;  // the frame every polling tick reads once the link is up
  // The 15Rc throttle: a second code (0x3A) after 0x09, and the sensor voltage in
  // Text1(9) with its label Label9, shown only while this family is selected.
  bool throttle_15rc;
  TestGroup test_group;
  // Connect clears every channel selector but throttle and battery.
  bool connect_clears_channels;
};

// In the order the polling tick tests the options: Option1, Option9, Option7, Option2.
inline constexpr std::array<FamilyFacts, 4> kFamilies = {{
    {.id = EcuFamily::Ecu15m,
     .caption = "15m",
     .settings_code = "1",
     .link_start = LinkStart::kAwaitBurst,
     .live_frame = &kReadLive15m,
     .throttle_15rc = false,
     .test_group = TestGroup::kA,
     .connect_clears_channels = false},
    {.id = EcuFamily::Ecu15Rc,
     .caption = "15Rc",
     .settings_code = "4",
     .link_start = LinkStart::kAnswerAtOnce,
     .live_frame = &kReadLive15m,
     .throttle_15rc = true,
     .test_group = TestGroup::kA,
     .connect_clears_channels = false},
    {.id = EcuFamily::Ecu16m,
     .caption = "16m",
     .settings_code = "3",
     .link_start = LinkStart::kAwaitBurst,
     .live_frame = &kReadLive16m,
     .throttle_15rc = false,
     .test_group = TestGroup::kB,
     .connect_clears_channels = false},
    {.id = EcuFamily::EcuP8,
     .caption = "P8",
     .settings_code = "2",
     .link_start = LinkStart::kNoHandshake,
     .live_frame = &kReadLiveP8,
     .throttle_15rc = false,
     .test_group = TestGroup::kB,
     .connect_clears_channels = true},
}};

// The family selected when the main window opens; the settings file names the others.
inline constexpr EcuFamily kOpeningFamily = EcuFamily::Ecu15m;

const FamilyFacts& FactsOf(EcuFamily family);
// The family whose caption is `name`, in any case ("p8", "15RC"); nullopt otherwise.
std::optional<EcuFamily> FamilyNamed(std::string_view name);
// The family of a settings value ("1" -> 15m, "2" -> P8, "3" -> 16m, "4" -> 15Rc).
std::optional<EcuFamily> FamilyWithSettingsCode(std::string_view code);
// The captions in table order, joined: "15m, 15Rc, 16m, P8".
std::string FamilyCaptions(std::string_view separator);

}  // namespace velarin
