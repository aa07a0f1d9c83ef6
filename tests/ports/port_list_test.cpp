#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ports/adapter_rates.h"
#include "ports/hardware_id.h"
#include "ports/port_text.h"
#include "ports/udev_properties.h"

namespace velarin::ports {
namespace {

PortInfo FromDump(const std::string& name) {
  std::ifstream in(std::string(VELARIN_TEST_DATA_DIR) + "/" + name);
  EXPECT_TRUE(in) << name;
  std::stringstream text;
  text << in.rdbuf();
  return PortFromUdevProperties(ParseUdevPropertyDump(text.str()));
}

const std::vector<std::string> kDumps = {"ftdi_ft232r.udev",  "ch340.udev",  "cp2102.udev",
                                         "cp2104.udev",       "pl2303.udev", "cdc_acm.udev",
                                         "onboard_ttyS0.udev"};

TEST(UdevPropertiesTest, CannedDevicesMapToPortInfo) {
  struct Case {
    const char* dump;
    const char* by_id;
    std::optional<UsbId> usb;
    const char* manufacturer;
    const char* product;
    const char* serial;
    const char* driver;
    Rate7812 rate;
  } cases[] = {
      {"ftdi_ft232r.udev", "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0",
       UsbId{0x0403, 0x6001}, "FTDI", "FT232R USB UART", "A50285BI", "ftdi_sio",
       Rate7812::kNoKnownProblem},
      // No strings of its own besides the model: the vendor comes from the USB database.
      {"ch340.udev", "/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0", UsbId{0x1a86, 0x7523},
       "QinHeng Electronics", "USB Serial", "", "ch341", Rate7812::kNoKnownProblem},
      {"cp2102.udev",
       "/dev/serial/by-id/usb-Silicon_Labs_CP2102_USB_to_UART_Bridge_Controller_0001-if00-port0",
       UsbId{0x10c4, 0xea60}, "Silicon Labs", "CP2102 USB to UART Bridge Controller", "0001",
       "cp210x", Rate7812::kUnable},
      {"cp2104.udev",
       "/dev/serial/by-id/"
       "usb-Silicon_Labs_CP2104_USB_to_UART_Bridge_Controller_01A7B4F2-if00-port0",
       UsbId{0x10c4, 0xea60}, "Silicon Labs", "CP2104 USB to UART Bridge Controller", "01A7B4F2",
       "cp210x", Rate7812::kNoKnownProblem},
      {"pl2303.udev",
       "/dev/serial/by-id/usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0",
       UsbId{0x067b, 0x2303}, "Prolific Technology Inc.", "USB-Serial Controller", "", "pl2303",
       Rate7812::kNoKnownProblem},
      {"cdc_acm.udev",
       "/dev/serial/by-id/usb-Arduino__www.arduino.cc__0043_75833353934351F0C0A1-if00",
       UsbId{0x2341, 0x0043}, "Arduino (www.arduino.cc)", "Uno R3 (CDC ACM)",
       "75833353934351F0C0A1", "cdc_acm", Rate7812::kNoKnownProblem},
      {"onboard_ttyS0.udev", "", std::nullopt, "", "", "", "", Rate7812::kNoKnownProblem},
  };
  for (const Case& c : cases) {
    const PortInfo p = FromDump(c.dump);
    EXPECT_EQ(p.by_id_path, c.by_id) << c.dump;
    EXPECT_EQ(p.usb, c.usb) << c.dump;
    EXPECT_EQ(p.manufacturer, c.manufacturer) << c.dump;
    EXPECT_EQ(p.product, c.product) << c.dump;
    EXPECT_EQ(p.serial_number, c.serial) << c.dump;
    EXPECT_EQ(p.driver, c.driver) << c.dump;
    EXPECT_EQ(p.rate_7812, c.rate) << c.dump;
  }
}

TEST(UdevPropertiesTest, ListTextOfTheCannedDevices) {
  PortList list;
  for (const std::string& dump : kDumps) list.ports.push_back(FromDump(dump));
  EXPECT_EQ(
      PortListText(list),
      "/dev/ttyUSB0  Com 1  0403:6001  FTDI FT232R USB UART  serial A50285BI  driver ftdi_sio  "
      "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0\n"
      "/dev/ttyUSB1  Com 2  1a86:7523  QinHeng Electronics USB Serial  driver ch341  "
      "/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0\n"
      "/dev/ttyUSB2  Com 3  10c4:ea60  Silicon Labs CP2102 USB to UART Bridge Controller  "
      "serial 0001  driver cp210x  /dev/serial/by-id/"
      "usb-Silicon_Labs_CP2102_USB_to_UART_Bridge_Controller_0001-if00-port0  ! cannot run "
      "7812 baud: CP2102 runs 9600 instead\n"
      "/dev/ttyUSB3  Com 4  10c4:ea60  Silicon Labs CP2104 USB to UART Bridge Controller  "
      "serial 01A7B4F2  driver cp210x  /dev/serial/by-id/"
      "usb-Silicon_Labs_CP2104_USB_to_UART_Bridge_Controller_01A7B4F2-if00-port0\n"
      "/dev/ttyUSB10  Com 11  067b:2303  Prolific Technology Inc. USB-Serial Controller  "
      "driver pl2303  "
      "/dev/serial/by-id/usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0\n"
      "/dev/ttyACM0  2341:0043  Arduino (www.arduino.cc) Uno R3 (CDC ACM)  serial "
      "75833353934351F0C0A1  driver cdc_acm  "
      "/dev/serial/by-id/usb-Arduino__www.arduino.cc__0043_75833353934351F0C0A1-if00\n"
      "/dev/ttyS0\n");
  EXPECT_EQ(PortListText(PortList{}), "no serial ports found\n");
  EXPECT_EQ(PortListText(PortList{{}, "why"}), "no serial ports found: why\n");
}

TEST(AdapterRatesTest, Cp210xIsJudgedByTheChipItsProductStringNames) {
  struct Case {
    UsbId usb;
    const char* driver;
    const char* product;
    Rate7812 rate;
  } cases[] = {
      {{0x10c4, 0xea60}, "cp210x", "CP2103 USB to UART Bridge Controller", Rate7812::kUnable},
      {{0x10c4, 0xea60}, "cp210x", "CP2102N USB to UART Bridge Controller", Rate7812::kMaybeUnable},
      {{0x10c4, 0xea60}, "cp210x", "", Rate7812::kMaybeUnable},
      {{0x10c4, 0xea70}, "cp210x", "Dual UART", Rate7812::kNoKnownProblem},  // CP2105's own id
      {{0x1234, 0x5678}, "silabser", "Vendor cable", Rate7812::kMaybeUnable},
      {{0x1234, 0x5678}, "ftdi_sio", "cp2102 lookalike", Rate7812::kNoKnownProblem},
  };
  for (const Case& c : cases) {
    PortInfo p;
    p.usb = c.usb;
    p.driver = c.driver;
    p.product = c.product;
    ClassifyRate7812(p);
    EXPECT_EQ(p.rate_7812, c.rate) << c.product;
    EXPECT_EQ(p.rate_note.empty(), c.rate == Rate7812::kNoKnownProblem) << c.product;
  }
}

TEST(HardwareIdTest, ReadsUsbIdsAndSerials) {
  struct Case {
    const char* id;
    std::optional<UsbId> usb;
    const char* serial;
  } cases[] = {
      {"USB\\VID_10C4&PID_EA60&REV_0100", UsbId{0x10c4, 0xea60}, ""},
      {"FTDIBUS\\COMPORT&VID_0403&PID_6001", UsbId{0x0403, 0x6001}, ""},
      {"FTDIBUS\\VID_0403+PID_6001+A50285BIA\\0000", UsbId{0x0403, 0x6001}, ""},
      {"USB\\VID_0403&PID_6001\\A50285BI", UsbId{0x0403, 0x6001}, "A50285BI"},
      {"usb\\vid_1a86&pid_7523\\5&2A1B3C4D&0&2", UsbId{0x1a86, 0x7523}, ""},
      {"USB\\VID_2341&PID_0043&MI_00\\6&3A2B&0&0000", UsbId{0x2341, 0x0043}, ""},
      {"ACPI\\PNP0501\\0", std::nullopt, ""},
      {"USB\\VID_12&PID_EA60", std::nullopt, ""},
      {"USB\\VID_10C4&PID_EA601", std::nullopt, ""},
      {"", std::nullopt, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UsbIdFromHardwareId(c.id), c.usb) << c.id;
    EXPECT_EQ(SerialFromInstanceId(c.id), c.serial) << c.id;
  }
}

TEST(PortInfoTest, ComNumbersAndPathOrder) {
  struct Case {
    const char* path;
    std::optional<int> com;
  } cases[] = {{"/dev/ttyUSB0", 1},
               {"/dev/ttyUSB12", 13},
               {"COM3", 3},
               {"COM0", std::nullopt},
               {"/dev/ttyACM0", std::nullopt},
               {"/dev/ttyUSB", std::nullopt},
               {"/dev/ttyUSB1x", std::nullopt}};
  for (const Case& c : cases) {
    PortInfo p;
    p.system_path = c.path;
    EXPECT_EQ(ComNumberOf(p), c.com) << c.path;
  }
  EXPECT_TRUE(PathLess("/dev/ttyUSB2", "/dev/ttyUSB10"));
  EXPECT_FALSE(PathLess("/dev/ttyUSB10", "/dev/ttyUSB2"));
  EXPECT_TRUE(PathLess("COM9", "COM10"));
  EXPECT_TRUE(PathLess("/dev/ttyACM0", "/dev/ttyS0"));
}

TEST(PortChoicesTest, RememberedAdapterThatIsGoneStaysMarkedNotPresent) {
  const PortInfo ftdi = FromDump("ftdi_ft232r.udev");
  const PortInfo cp2102 = FromDump("cp2102.udev");
  std::vector<PortChoice> choices = PortChoices({ftdi, cp2102}, ftdi.by_id_path);
  ASSERT_EQ(choices.size(), 2u);
  EXPECT_EQ(choices[0].label, "ttyUSB0 \u2014 FTDI FT232R USB UART (A50285BI)");
  EXPECT_EQ(choices[0].com, 1);
  EXPECT_EQ(choices[1].rate_7812, Rate7812::kUnable);

  choices = PortChoices({cp2102}, ftdi.by_id_path);
  ASSERT_EQ(choices.size(), 2u);
  EXPECT_FALSE(choices[1].present);
  EXPECT_EQ(choices[1].identity, ftdi.by_id_path);
  EXPECT_EQ(choices[1].system_path, "");
  EXPECT_EQ(choices[1].label, "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0 \u2014 not present");
}

}  // namespace
}  // namespace velarin::ports
