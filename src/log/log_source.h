// A log file opened for reading. The program supplies the platform's files;
// tests supply bytes in memory, or a file whose read fails part way.
#ifndef LEDGERWISE_LOG_LOG_SOURCE_H_
#define LEDGERWISE_LOG_LOG_SOURCE_H_

#include <cstddef>
#include <cstdint>

namespace ledgerwise {

class LogSource {
 public:
  virtual ~LogSource() = default;
  // Reads up to `size` bytes into `buffer`: the count read, 0 at the end of
  // the file, -1 when the read failed.
  virtual int64_t Read(char* buffer, size_t size) = 0;
};

}  // namespace ledgerwise

#endif  // LEDGERWISE_LOG_LOG_SOURCE_H_
