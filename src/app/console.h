// The console as a run sees it: progress to standard output, failures and
// warnings to standard error, in the console's encoding.
#ifndef LEDGERWISE_APP_CONSOLE_H_
#define LEDGERWISE_APP_CONSOLE_H_

#include <string>

#include "app/env.h"
#include "app/messages.h"
#include "util/status.h"

namespace ledgerwise {

// Arguments are names and paths: shown with their control bytes masked.
class Console {
 public:
  explicit Console(Env& env) : env_(env), utf8_(env.ConsoleWantsUtf8()) {}
  void Print(const Message& m, const std::string& argument = "") {
    env_.WriteConsole(ConsoleStream::Out, Render(m, utf8_, Printable(argument)));
  }
  void Warn(const Message& m, const std::string& argument = "") {
    env_.WriteConsole(ConsoleStream::Error, Render(m, utf8_, Printable(argument)));
  }
  // "エラー : " and the failure's message.
  void Fail(const Status& status) {
    std::string text = Render(FailureMessage(status.code()), utf8_, Printable(status.path()));
    env_.WriteConsole(ConsoleStream::Error, Render(msg::kErrorLine, utf8_, text));
  }
  void Text(const std::string& bytes) { env_.WriteConsole(ConsoleStream::Out, bytes); }
  // Text already rendered for this console.
  void Raw(ConsoleStream stream, const std::string& text) { env_.WriteConsole(stream, text); }
  bool utf8() const { return utf8_; }

 private:
  Env& env_;
  bool utf8_;
};

}  // namespace ledgerwise

#endif  // LEDGERWISE_APP_CONSOLE_H_
