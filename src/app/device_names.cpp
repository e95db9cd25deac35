#include "app/device_names.h"

#include <algorithm>

namespace ledgerwise {

namespace {

// Upper case. The superscript digits stand for the same ports as the plain
// ones on Windows.
// clang-format off
constexpr std::string_view kDevices[] = {
    "CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$",
    "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9",
    "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9",
    "COM\xC2\xB9", "COM\xC2\xB2", "COM\xC2\xB3", "LPT\xC2\xB9", "LPT\xC2\xB2", "LPT\xC2\xB3",
};
// clang-format on

// Letters only: folding any other byte would make "COM1" of "COM\x11".
bool SameUpperAscii(char name, char device) {
  return (name >= 'a' && name <= 'z' ? static_cast<char>(name - 'a' + 'A') : name) == device;
}

}  // namespace

bool IsDeviceName(std::string_view name) {
  std::string_view base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  return std::any_of(std::begin(kDevices), std::end(kDevices), [base](std::string_view device) {
    return base.size() == device.size() &&
           std::equal(base.begin(), base.end(), device.begin(), SameUpperAscii);
  });
}

}  // namespace ledgerwise
