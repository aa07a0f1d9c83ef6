#pragma once
// The wake-up: catch the ECU's ISO-code burst at 1200 baud, show the code,
// answer 0x0F 0xAA 0xCC 110 ms apart and switch to 7812 baud (15Rc answers at once).

#include <cstdint>

#include "forms/form2.h"
#include "forms/protocol_state.h"
#include "platform/clock.h"

namespace velarin {

// The pause after each of the three answer bytes.
inline constexpr uint32_t kWakeAnswerGapMs = 110;

// One call per polling tick while `init` is false. Returns at once while nothing
// has arrived; otherwise runs the whole handshake (about 1 s) and sets p.init.
void Initial(Form2& f, ProtocolState& p, Clock& clock);

}  // namespace velarin
