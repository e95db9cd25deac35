#!/bin/bash
# Installs what the browser tests need: Debian's Chromium, a Japanese font
# (without one the screenshots show boxes instead of text), Node (18 or newer)
# and the pinned npm packages. Safe to run again; it only installs what is missing.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

need=()
[ -x /usr/bin/chromium ] || need+=(chromium)
if ! fc-list :lang=ja 2>/dev/null | grep -q .; then need+=(fonts-noto-cjk); fi
command -v node >/dev/null 2>&1 || need+=(nodejs)
command -v npm >/dev/null 2>&1 || need+=(npm)

if [ ${#need[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${need[@]}"
fi

cd "$here"
# playwright-core is pinned to a release that runs on Debian 12's own Node (18);
# a Node older than the pinned release states would fail in the middle of a
# test run, so it stops here with what to do instead.
need_node="$(node -p "require('./package-lock.json').packages['node_modules/playwright-core'].engines.node.match(/[0-9]+/)[0]")"
have_node="$(node -p 'process.versions.node.split(".")[0]')"
if [ "$have_node" -lt "$need_node" ]; then
  echo "Node $(node --version) is too old for the pinned playwright-core, which needs Node $need_node or newer." >&2
  echo "Install a newer nodejs package (your distribution's backports, or its next release) and run this again." >&2
  exit 1
fi
# shellcheck source=npm-deps.sh
. ./npm-deps.sh
echo "browser test prerequisites are in place"
