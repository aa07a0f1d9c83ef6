#!/usr/bin/env python3
# Writes the seed corpora fuzz/corpus/<target>/ (run from the repository root:
# fuzz/make_seeds.py fuzz/corpus). Each seed is encoded as the target's
# FuzzedDataProvider decodes it: integral values from the end of the input,
# bytes and strings from the front. Change it together with a target's decoding.
import os, sys
root = sys.argv[1]

class Enc:
    def __init__(self): self.head = bytearray(); self.tail = []
    def u8(self, v): self.tail.append(v & 0xFF)
    def u16(self, v): self.tail += [(v >> 8) & 0xFF, v & 0xFF]
    def rng(self, lo, hi, v):  # ConsumeIntegralInRange: one byte per 8 bits of the range
        r = v - lo
        if hi - lo < 256: self.u8(r)
        else: self.u16(r)
    def bytes_(self, b): self.head += bytes(b)
    def string(self, s):  # ConsumeRandomLengthString: "\\" + other char ends it
        self.head += s.encode('latin1').replace(b'\\', b'\\\\') + b'\\n'
    def data(self): return bytes(self.head) + bytes(reversed(self.tail))

def write(target, name, data):
    d = os.path.join(root, target); os.makedirs(d, exist_ok=True)
    open(os.path.join(d, name), 'wb').write(data)

# number_from_text: byte 0 = split position and character class, then the text.
for i, t in enumerate(["12", " 12 abc", "&h0A", "&hFF", "&H1f2", "1,5", "abc", "1.5e3", "-0.5",
                       "7812.5", "0.5", "1e400", "1e-400", ".5", "5.", "+3", "- 1 2", "1\t2\n3",
                       "&h", "&hzz", "1e+", "3.5E-2x", "0254", "255"]):
    write("number_from_text", "n%02d" % i, bytes([i * 37 & 0xFF]) + t.encode())

# profile_file: section, key, value, other section, other key, then the file text.
ini = [
    ("Hardware", "Com", "3", "Hardware", "Ecu", "[Hardware]\r\nCom=1\r\nEcu=3\r\n"),
    ("Hardware", "Ecu", "2", "Other", "x", "; settings\n[Other]\nx = 1\n\n[Hardware]\nCom=1\n\n[Tail]\ny=2"),
    ("hardware", "com", " \"4\" ", "HARDWARE", "Ecu", "[ Hardware ]\nCOM = 7\nEcu=1"),
    ("Hardware", "Com", "5", "Hardware", "Com", ""),
    ("Hardware", "Com", "1\r\n[Evil]\r\nx=1", "Evil", "x", "[Hardware]\rCom=2\r"),
    ("New", "key", "v", "Hardware", "Com", "[Hardware]\nCom=1"),
    ("Hardware", "Com", "9", "Hardware", "Com", "[Hardware]\nCom=1\n[Hardware]\nCom=2\n"),
    ("A]", "k", "v", "A", "k", "[A]\nk=1\n"),
    ("Hardware", "=k", "v", "Hardware", "k", "[Hardware]\n=k=1\n"),
    ("Hardware", "Com", "x" * 300, "Hardware", "Ecu", "[Hardware]\nEcu=4\n"),
    ("Hardware", "Com", "2", "Hardware", "Ecu", "\xef\xbb\xbf[Hardware]\r\n;Com=0\r\nEcu=1\r\nCom=0\r\n"),
]
for i, (s, k, v, s2, k2, text) in enumerate(ini):
    e = Enc()
    for x in (s, k, v, s2, k2): e.string(x)
    e.bytes_(text.encode('latin1'))
    write("profile_file", "p%02d" % i, e.data())

# cli_args / gui_args: the arguments, separated by NUL.
cli = [["--simulate", "--ecu", "P8", "--frames", "20", "--csv", "p8.csv"],
       ["--device", "/dev/ttyUSB0", "--ecu=15Rc", "--channels", "rpm,throttle", "--seconds", "2.5"],
       ["--com", "3", "--no-ecu-data", "--calibration", "--dtc", "--test", "fuel-pump", "--test",
        "custom=1f", "--trimmer", "200"],
       ["--settings=/tmp/x.ini", "--test=reset-tps", "--trimmer=254", "--dtc", "--dtc"],
       ["--help"], ["-h", "--bogus"], ["--com", "0"], ["--trimmer", "255"], ["--device"],
       ["--frames", "4294967296"], ["--seconds", "0.0001"], ["--channels", "rpm,,inj"],
       ["--test", "custom=100"], ["--ecu", "16M", "--ecu", "p8"], ["--simulate", "--com", "1"]]
for i, args in enumerate(cli):
    write("cli_args", "c%02d" % i, b"\0".join(a.encode() for a in args))
gui = [["--simulate"], ["--simulate=15rc", "--settings", "v.ini"], ["--device", "/dev/ttyACM0"],
       ["--com=2"], ["--simulate=x"], ["--device", "a", "--com", "1"], ["--help"], [""],
       ["--simulate", "--simulate"], ["--settings"]]
for i, args in enumerate(gui):
    write("gui_args", "g%02d" % i, b"\0".join(a.encode() for a in args))

# live_frame: family, selectors, flags, per code (shape, answer, latency), garbage.
def frame(family, selectors, flags, answers, garbage=b""):
    codes = 12 if family == 1 else 11
    e = Enc(); e.u8(family); e.u16(selectors); e.u8(flags)
    for i in range(codes):
        ans, late = answers(i)
        shape = 0 if len(ans) == 0 else 100 if len(ans) == 1 else 208 + (len(ans) - 2)
        e.u8(shape); e.bytes_(ans); e.u8(late)
    e.bytes_(garbage)
    return e.data()
live = {
    "clean_15m": frame(0, 0x1FF, 0, lambda i: (bytes([0x10 + 9 * i]), 0)),
    "clean_15rc": frame(1, 0x1FF, 0, lambda i: (bytes([0xAA + i]), 0)),
    "clean_16m": frame(2, 0x1FF, 8, lambda i: (bytes([0x80 - i]), 0)),
    "clean_p8": frame(3, 0x1FF, 8, lambda i: (bytes([0x20 * (i % 8)]), 0)),
    "rpm_ff_15m": frame(0, 0x003, 0, lambda i: (b"\xff", 0)),
    "rpm_zero_p8": frame(3, 0x1FF, 0, lambda i: (b"\x00", 0)),
    "late_answers_16m": frame(2, 0x1FF, 0, lambda i: (b"\x42", 0xE0 + i)),
    "no_echo_15m": frame(0, 0x1FF, 3, lambda i: (b"\x42\x43", 0)),
    "strays_p8": frame(3, 0x1FF, 4, lambda i: (b"\x33", 0x10 + i)),
    "long_answers_15rc": frame(1, 0x1C0, 8, lambda i: (bytes([i, i + 1, i + 2, i + 3, i + 4]), 0)),
    "silent_throttle_15m": frame(0, 0x040, 0, lambda i: (b"", 0)),
    "garbage_16m": frame(2, 0x1FF, 0, lambda i: (b"\x0b", 0), b"\x0b\x90\x55\xaa"),
}
for name, data in live.items(): write("live_frame", name, data)

# fault_report: flags, then per request (shape, answer, latency).
def faults(flags, answers):
    e = Enc(); e.u8(flags)
    for ans, late in answers:
        shape = 0 if len(ans) == 0 else 100 if len(ans) == 1 else 200 + (len(ans) - 2)
        e.u8(shape); e.bytes_(ans); e.u8(late)
    return e.data()
fr = {
    "all_ok_15m": faults(0, [(b"\x00", 0), (b"\x00", 0), (b"\x00", 0)]),
    "rich_lean_16m": faults(2, [(b"\x02", 0), (b"\x00", 0), (b"\x01", 0)]),
    "every_bit_p8": faults(3, [(b"\xff", 0), (b"\xff", 0), (b"\xff", 0)]),
    "camshaft_short_15rc": faults(1, [(b"\x40", 0), (b"\x01", 0), (b"\x80", 0)]),
    "second_times_out": faults(0, [(b"\x04", 0), (b"", 0), (b"\x02", 0)]),
    "late_third": faults(0, [(b"\x10", 0), (b"\x80", 0), (b"\x04", 0xE0 + 6)]),
    "no_echo": faults(0x0C, [(b"\x0f\x20", 0), (b"\x10\x04", 0), (b"\x11\x00", 0)]),
    "stray_bytes": faults(0x10, [(b"\x08", 0x10), (b"\x08", 0x10), (b"\x40", 0x10)]),
    "long_answers": faults(0, [(b"\x01\x02\x03\x04\x05\x06\x07", 0), (b"\x08\x09", 0), (b"\x10" * 9, 0)]),
}
for name, data in fr.items(): write("fault_report", name, data)

# recording_reader: byte 0 picks the traced column and slices, then the CSV file.
HEADER = ("t_ms,rpm,inj_ms,advance_deg,map_mbar,air_c,water_c,throttle,battery_v,trimmer,"
          "throttle_v\r\n")
ROW = "1197,1347,3.174,12.5,393,18,19,1.6,13.875,3,\r\n"
recordings = {
    "two_rows": HEADER + ROW + ROW.replace("1197", "1364", 1),
    "lf_ends_and_gaps": HEADER.replace("\r\n", "\n") + "0,,,,,,,,,,\n5,3250,,,,,,,,,0.5\n",
    "bad_rows": HEADER + "10,a,b\r\n5,1,2,3,4,5,6,7,8,9,10\r\n20,\"1,5\",,,,,,,,,\r\n" + ROW,
    "backwards": HEADER + ROW.replace("1197", "9000", 1) + ROW,
    "not_ours": "time,rpm\r\n1,2\r\n",
    "empty": "",
}
for i, (name, text) in enumerate(recordings.items()):
    write("recording_reader", name, bytes([0x31 * i & 0xFF]) + text.encode())

# ui_actions: family and ECU configuration, ignition moment, then steps of
# (post delay in units of 37 ms, run time of the loop, action or line fault...).
ACTIONS = {'connect': 0, 'com': 1, 'family': 2, 'channel': 3, 'check3': 4, 'check4': 5,
           'ecuinfo': 6, 'cal': 7, 'dtc': 8, 'tests': 9, 'test': 10, 'custom': 11, 'on': 12,
           'off': 13, 'slider': 14, 'trimtext': 15, 'ok': 16, 'back': 17, 'closetest': 18,
           'closemain': 19}
FAULTS = {'ignoff': 0, 'ignon': 1, 'pull': 2, 'cableback': 3, 'garbage': 4, 'echo': 5,
          'slow': 6, 'answer': 7, 'verdict': 8, 'stray': 9}
RUN = [0, 5, 20, 50, 100, 200, 400, 700, 1000, 1500, 2500, 4000, 5500, 7000, 9000, 12000]
COM = ["1", "0", "2", "", "abc", "1.5", "3\r", "-1", "40000"]
CUSTOM = ["00", "80", "1f", "FF", "AA", "8d", "100", "-1", "zz", " 7 ", "0x80", ""]
TRIM = ["127", "0", "254", "255", "-1", "abc", "", "12.5", " 200", "256", "1e2", "0254"]

def ui_run(family, config, ignition_ms, steps, light=False):
    e = Enc(); e.rng(0, 3, family); e.u8(config); e.u8(ignition_ms // 8)
    e.u8(0 if light else 255)  # below 160: only rpm, throttle and trimmer polled
    for delay_units, run_ms, *what in steps:
        e.u8((RUN.index(run_ms) << 4) | delay_units)
        if what[0] == 'wait':  # a fault step that changes nothing
            what = ['answer', 1]
        if what[0] in FAULTS:
            e.u8(208); e.u8(FAULTS[what[0]])
            code = what[1] if len(what) > 1 else 0
            data = what[2] if len(what) > 2 else b''
            e.u8(code); e.rng(0, 4, len(data)); e.bytes_(data)
            continue
        k = ACTIONS[what[0]]
        e.u8(0); e.u8(k)
        if k == 1: e.u8(COM.index(what[1]))
        elif k == 2: e.rng(0, 3, what[1])
        elif k == 3: e.rng(0, 8, what[1])
        elif k == 10: e.rng(1, 9, what[1])
        elif k in (11, 15):
            e.u8(1); e.u8((CUSTOM if k == 11 else TRIM).index(what[1]))
        elif k == 14: e.rng(-130, 130, what[1])
        elif k == 19: e.u8(255)
    return e.data()

# Families: 0 15m, 1 15Rc, 2 16m, 3 P8. Configuration: bits 0-1 answer latency (1 ms, 0, 2,
# 4), bits 2-3 both set: no echo, bits 4-5 entry answer, bit 6 trimmer unconfirmed, bit 7 no
# Connect at the start.
W = (0, 4000, 'wait')
UI = {
    'live_dtc_15m': (0, 0, 200, [W, (0, 4000, 'dtc'), (0, 2500, 'channel', 4), (0, 1500, 'channel', 4)]),
    'tests_each_button_16m': (2, 0, 200, [W, (0, 4000, 'tests'), (0, 1000, 'test', 1),
        (0, 1000, 'test', 2), (0, 1000, 'test', 4), (0, 1000, 'custom', '1f'),
        (0, 1000, 'test', 8), (0, 1000, 'test', 9), (0, 1000, 'back')]),
    'co_on_twice_15m': (0, 0, 200, [W, (0, 4000, 'tests'), (0, 1000, 'on'), (0, 1000, 'on'),
        (0, 1000, 'back')]),
    'co_off_while_off_p8': (3, 0, 0, [W, (0, 2500, 'tests'), (0, 1000, 'off'), (0, 1000, 'back')]),
    'trimmer_255_ok_15rc': (1, 0, 0, [W, (0, 4000, 'tests'), (0, 1000, 'on'),
        (0, 200, 'trimtext', '255'), (0, 1000, 'ok'), (0, 1000, 'off')]),
    'trimmer_slider_ok_16m': (2, 0, 200, [W, (0, 4000, 'tests'), (0, 1000, 'on'),
        (0, 200, 'slider', -5), (0, 1000, 'ok'), (0, 1000, 'off'), (0, 1000, 'back')]),
    'tests_before_connect_back': (0, 0x80, 2000, [(0, 1000, 'tests'), (0, 1000, 'back'),
        (0, 1000, 'channel', 2)]),
    'failed_connect_com0': (0, 0, 0, [(0, 100, 'connect'), (0, 100, 'com', '0'),
        (0, 1000, 'connect'), (0, 1000, 'tests'), (0, 1000, 'back')]),
    'cable_pull_in_test_window_p8': (3, 0, 0, [W, (0, 2500, 'tests'), (0, 200, 'test', 1),
        (0, 2500, 'pull'), (0, 1000, 'back'), (0, 1000, 'cableback'), (0, 2500, 'connect')]),
    'verdict_later_ee_15m': (0, 0, 200, [W, (0, 100, 'verdict', 0, b'\x01\xee'),
        (0, 4000, 'tests'), (0, 1500, 'test', 1), (1, 12000, 'back')]),
    'garbage_and_slow_16m': (2, 0, 200, [W, (0, 4000, 'garbage', 0, b'\x55\xaa\xff\x00'),
        (0, 1000, 'slow', 5, b'\x00\x00\x00'), (0, 4000, 'echo'), (0, 2500, 'dtc')]),
    'ignition_cycle_15m': (0, 0, 200, [(0, 4000, 'ignoff'), (0, 4000, 'ignon'),
        (0, 4000, 'connect'), (0, 1000, 'connect'), (0, 7000, 'family', 1)]),
    'p8_connect_then_tests': (3, 0, 0, [(0, 200, 'tests'), (0, 1000, 'back')]),
    'channel_click_then_close_15m': (0, 0, 200, [W, (0, 0, 'channel', 0), (0, 1000, 'closemain')]),
    'dtc_then_tests_16m': (2, 0, 200, [W, (0, 0, 'dtc'), (0, 4000, 'tests'), (0, 1000, 'test', 3),
        (0, 1000, 'back')]),
    # The ident read times out (no ignition yet); Disconnect and Connect run in the P8
    # frame's yield that follows, on a connection that has not read the ECU yet.
    'p8_reconnect_inside_frame_yield': (3, 0, 2040, [(0, 1000, 'check4'), (0, 0, 'connect'),
        (0, 1000, 'connect')]),
    'light_frame_trimmer_15m': (0, 0, 200, [W, (0, 4000, 'tests'), (0, 1000, 'on'),
        (0, 200, 'slider', 30), (0, 1000, 'ok'), (0, 1000, 'back')], True),
}
for name, run in UI.items():
    write("ui_actions", name, ui_run(*run))
