// The device names Windows reaches whatever folder they stand in, every one
// of the table, and names that only look like one.
#include "app/device_names.h"

#include <gtest/gtest.h>

namespace ledgerwise {
namespace {

TEST(DeviceNameTest, EveryDeviceInAnyCaseAndWithAnyExtension) {
  const char* devices[] = {"CON",  "PRN",  "AUX",  "NUL",  "CONIN$", "CONOUT$", "COM1", "COM2",
                           "COM3", "COM4", "COM5", "COM6", "COM7",   "COM8",    "COM9", "LPT1",
                           "LPT2", "LPT3", "LPT4", "LPT5", "LPT6",   "LPT7",    "LPT8", "LPT9",
                           "COM¹", "COM²", "COM³", "LPT¹", "LPT²",   "LPT³"};
  for (std::string device : devices) {
    std::string lower = device;
    for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    for (const std::string& name : {device + ".log", lower + ".LOG", device + ".txt.log",
                                    lower + " .log", device + "..log"}) {
      EXPECT_TRUE(IsDeviceName(name)) << name;
    }
  }
}

TEST(DeviceNameTest, NamesThatOnlyLookLikeOne) {
  for (const char* name :
       {"20050504.log", "COM10.log", "COM0.log", "LPT.log", "CONSOLE.log", "AUXX.log", "xCON.log",
        "CON1.log", "COM\x11.log", "C0M1.log", "NUL_.log", "conout.log", "COM⁴.log"}) {
    EXPECT_FALSE(IsDeviceName(name)) << name;
  }
}

}  // namespace
}  // namespace ledgerwise
