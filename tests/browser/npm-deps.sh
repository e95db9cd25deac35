# shellcheck shell=bash
# Sourced by run.sh and setup.sh from tests/browser: brings node_modules to
# the locked version of playwright-core, and leaves it alone when it is there.
wanted="$(node -p "require('./package-lock.json').packages['node_modules/playwright-core'].version")"
installed="$(node -p "require('./node_modules/playwright-core/package.json').version" 2>/dev/null || true)"
if [ "$installed" != "$wanted" ]; then
  # The npm cache is tried first, so a machine that installed once needs no
  # network for a fresh clone.
  npm ci --prefer-offline --no-audit --no-fund --loglevel=error
fi
