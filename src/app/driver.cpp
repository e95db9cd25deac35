#include "app/driver.h"

#include <string>

#include "app/console.h"
#include "app/messages.h"
#include "app/run_steps.h"
#include "app/watch.h"
#include "sjis_pages/pages.h"

namespace ledgerwise {

namespace {

bool WantsKeyWait(const RunOptions& options, Env& env) {
  bool wanted = options.keyWait == KeyWait::Always ||
                (options.keyWait == KeyWait::Default && platform::kWaitsForKeyByDefault);
  // A script, a pipe, a file or a run in the background never waits.
  return wanted && env.IsInteractive();
}

}  // namespace

int Run(const RunOptions& options, Env& env) {
  RunSteps steps(options, env);
  steps.console().Text(std::string("\n") + platform::kProgramName + " " + kVersionText + "\n");
  steps.console().Text("Copyright (C) the Ledgerwise developers\n\n");
  if (options.watch) return Watch(steps, env);
  bool ok = steps.Analyze(nullptr, "");
  if (WantsKeyWait(options, env)) {
    steps.console().Print(msg::kPressAnyKey);
    env.WaitForKey();
  }
  return ok ? 0 : platform::kFailureExitCode;
}

void ReportOutOfMemory(Env& env) {
  env.WriteConsole(ConsoleStream::Error, Render(msg::kOutOfMemory, env.ConsoleWantsUtf8()));
}

}  // namespace ledgerwise
