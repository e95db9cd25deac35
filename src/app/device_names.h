// The names Windows takes for a device in whatever folder they stand:
// opening "AUX.log" or "con.txt.log" reaches the device, never a file of
// that name. Kept apart from the platform layer so the table is tested
// everywhere.
#ifndef LEDGERWISE_APP_DEVICE_NAMES_H_
#define LEDGERWISE_APP_DEVICE_NAMES_H_

#include <string_view>

namespace ledgerwise {

// True when the file name `name` (UTF-8, without a folder) names a device:
// its part before the first dot, trailing spaces cut, is a device name in
// any letter case ("AUX.log", "com1.LOG", "con.txt.log", "NUL .log").
bool IsDeviceName(std::string_view name);

}  // namespace ledgerwise

#endif  // LEDGERWISE_APP_DEVICE_NAMES_H_
