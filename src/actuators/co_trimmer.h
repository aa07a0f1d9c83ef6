#pragma once
// CO regulation in the test window: the "On"/"Off" options, the trimmer slider
// (-127..127) and its byte form in Text2 (0..254, slider + 127), and "Ok".
// Every exchange goes through the main window's port and into form1's log.

#include <cstdint>
#include <string>

#include "forms/app.h"

namespace velarin {

// Test buttons usable and trimmer controls disabled when `regulating` is false;
// the other way round when it is true.
void SetRegulationControls(Form1& form, bool regulating);

// Option1 ("On") clicked: controls first, then 0x8D; logs the answer and
// "Enter CO Regulation OK" (or "Test finish" for a trailing 0xFF).
void Form1Option1_Click(App& app);
// Option2 ("Off") clicked: controls first, then 0xFF; a trailing 0xFF logs
// "Exit CO Regulation OK" and asks the window to leave as "Back" does
// (form1.leave_requested; the window performs it once the handler returns).
void Form1Option2_Click(App& app);

// Change notifications that keep Slider1 and Text2 in step. Setting either to
// the value it already holds notifies nothing.
void SetSlider1Value(Form1& form, int32_t position);  // clamped to the slider's range
void SetText2(Form1& form, const std::string& text);
void Slider1_Change(Form1& form);  // Text2 <- position + 127
void Text2_Change(Form1& form);    // Slider1 <- number - 127, only for numbers 0..254

// "Ok" clicked: sends Text2 as one byte. Empty: nothing at all. Not a whole
// number 0..254 (255 would leave CO regulation): nothing sent, one log line says why.
void Command10_Click(App& app);

}  // namespace velarin
