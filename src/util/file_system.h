// The file operations the page writers need, kept behind an interface so the
// report code stays portable and tests can make any step fail. The program
// supplies the platform's implementation.
#ifndef LEDGERWISE_REPORT_FILE_SYSTEM_H_
#define LEDGERWISE_REPORT_FILE_SYSTEM_H_

#include <memory>
#include <string>
#include <string_view>

namespace ledgerwise {

class WritableFile {
 public:
  virtual ~WritableFile() = default;
  virtual bool Append(std::string_view data) = 0;
  // Flushes and closes; false when anything written did not reach the file.
  virtual bool Close() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Creates a new, uniquely named file in the folder of `beside`. Creation is
  // exclusive: an existing entry of that name (a planted link included) is
  // never opened. Returns nullptr when no file could be made.
  virtual std::unique_ptr<WritableFile> CreateTemporary(const std::string& beside,
                                                        std::string* tempPath) = 0;

  // Moves `from` over `to`, replacing an existing file.
  virtual bool Replace(const std::string& from, const std::string& to) = 0;

  virtual void Remove(const std::string& path) = 0;
};

}  // namespace ledgerwise

#endif  // LEDGERWISE_REPORT_FILE_SYSTEM_H_
