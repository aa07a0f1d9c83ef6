#pragma once
// What each ECU family selects across the program, in one table, and the click
// handlers of the four family option buttons.

#include <array>
#include <optional>
#include <string_view>

#include "forms/app.h"
#include "forms/ecu_family.h"

namespace velarin {

enum class TestCodeGroup { A, B };

struct FamilyProfile {
  EcuFamily family;
  std::string_view caption;        // of its option button
  std::string_view settings_code;  // the "Ecu" value in the settings file
  bool awaits_burst;               // the wake-up waits for the ISO-code burst (15m, 16m)
  bool handshake;                  // false: the link counts as up once the port opens (P8)
  bool baud_at_connect;            // 7812 at Connect instead of after the handshake (P8)
  void (*read_live)(App&);         // the live-data reader of every tick
  TestCodeGroup test_group;        // the test window's code set
  bool extra_readout;              // Text1(9) and Label9 shown (15Rc)
};

// The four families in the order the polling tick tests their options:
// Option1 (15m), Option9 (15Rc), Option7 (16m), Option2 (P8).
const std::array<FamilyProfile, 4>& FamilyTable();
const FamilyProfile& ProfileOf(EcuFamily family);
// "1" -> 15m, "2" -> P8, "3" -> 16m, "4" -> 15Rc; anything else nullopt.
std::optional<EcuFamily> FamilyFromSettingsCode(std::string_view code);
// True when `family`'s option button is the selected one, read now.
bool IsSelected(const Form2& f, EcuFamily family);

// Makes `family`'s option the selected one of the group (the value change alone).
void SelectFamilyOption(Form2& f, EcuFamily family);

// The handlers: show the extra readout for 15Rc, hide it for the others.
void Option1_Click(App& app);
void Option9_Click(App& app);
void Option7_Click(App& app);
void Option2_Click(App& app);
// The click handler of `family`'s option.
void FamilyOption_Click(App& app, EcuFamily family);

}  // namespace velarin
