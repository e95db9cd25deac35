#!/bin/bash
# Installs what the browser tests need: Debian's Chromium, a Japanese font
# (without one the screenshots show boxes instead of text), Node (18 or newer),
# a headless Java runtime for the Nu HTML checker, and the pinned npm packages
# (playwright-core, axe-core, vnu-jar). Safe to run again; it only installs
# what is missing.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

need=()
[ -x /usr/bin/chromium ] || need+=(chromium)
if ! fc-list :lang=ja 2>/dev/null | grep -q .; then need+=(fonts-noto-cjk); fi
command -v node >/dev/null 2>&1 || need+=(nodejs)
command -v npm >/dev/null 2>&1 || need+=(npm)
command -v java >/dev/null 2>&1 || need+=(default-jre-headless)

if [ ${#need[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${need[@]}"
fi

cd "$here"
# shellcheck source=npm-deps.sh
. ./npm-deps.sh
echo "browser test prerequisites are in place"
