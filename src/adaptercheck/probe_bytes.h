#pragma once
// The bytes the adapter check sends. None of them is a request of any of the
// four families: requests are 0x01-0x0B, 0x0F-0x11, 0x17-0x28, 0x3A, the test
// codes 0x80-0x89, 0x8D, 0xAA, 0xCC and 0xFF; none is part of the wake-up answer
// 0x0F 0xAA 0xCC, and none is 0x55, the first byte of the ISO-code burst.
// Only in diagnostic mode or CO regulation does an ECU take any byte (a custom
// test code, a trimmer value), and it gets there only through 0xAA with the
// ignition on and the wake-up done, which the check never sends: with the
// ignition off the ECU hears nothing at all, and an awake ECU in its normal mode
// ignores these bytes. Together they hold every bit both set and clear, so a
// stuck or swapped bit alters at least one of them, and none holds a long run
// of zero bits a transceiver could take for a break.

#include <array>
#include <cstdint>

namespace velarin {

inline constexpr std::array<uint8_t, 6> kProbeBytes = {0x5A, 0xA5, 0x3C, 0xC3, 0x69, 0x96};

}  // namespace velarin
