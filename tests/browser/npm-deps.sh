# shellcheck shell=bash
# Sourced by run.sh and setup.sh from tests/browser: brings node_modules to
# the locked versions (playwright-core, axe-core, vnu-jar), and leaves it
# alone when they are there. Install scripts are not run: vnu-jar's would
# fetch a Java runtime, and the system's (setup.sh) is used instead.
stale="$(node -e '
  const lock = require("./package-lock.json").packages;
  for (const [where, p] of Object.entries(lock)) {
    if (!where) continue;
    let have = "";
    try { have = require(`./${where}/package.json`).version; } catch {}
    if (have !== p.version) { console.log(where); break; }
  }')"
if [ -n "$stale" ]; then
  # The npm cache is tried first, so a machine that installed once needs no
  # network for a fresh clone.
  npm ci --prefer-offline --ignore-scripts --no-audit --no-fund --loglevel=error
fi
