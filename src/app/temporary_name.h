// The names of the temporary files that outputs are written through:
// "<output name>.<16 hex digits>.tmp" beside the output. Both platforms make
// them here, and the cleanup of a killed run's leftovers knows them here.
#ifndef LEDGERWISE_APP_TEMPORARY_NAME_H_
#define LEDGERWISE_APP_TEMPORARY_NAME_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace ledgerwise {

// The temporary path for the output at `path`, from a random number.
std::string TemporaryPath(const std::string& path, uint64_t random);

// The output name a temporary file's name was made from, or an empty view
// when `name` is not such a name.
std::string_view TemporaryBase(std::string_view name);

}  // namespace ledgerwise

#endif  // LEDGERWISE_APP_TEMPORARY_NAME_H_
