#!/usr/bin/env bash
# Rebuilds the help file data/Punktivo.chm from its sources in data/help/ with chmcmd, the
# CHM compiler of Free Pascal (Debian package fp-utils). Needed only after a change in
# data/help/: the game and the tests read the committed data/Punktivo.chm, and the help
# tests fail when it no longer matches its sources.
#
# Usage: tools/build_help.sh [--pictures BUILD_DIR]
#   --pictures BUILD_DIR   first draws the pictures in data/help/bilder/ anew with the game
#                          itself (BUILD_DIR/tests/app/punktivo-help-pictures; build that
#                          target first).
#
# The sources: Punktivo.hhp (the project: options and the list of files), Punktivo.hhc (the
# table of contents), the pages *.htm (UTF-8), hilfe.css and bilder/*.png. A new file must
# be listed under [FILES] in Punktivo.hhp. Page names keep their umlauts; chmcmd stores
# every name as the bytes of the project file, so the project file stays UTF-8.
# chmcmd stamps the build time into the file, so a rebuild changes the .chm even when no
# page changed; commit it only together with a change of its sources.
set -euo pipefail

top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
sources="$top/data/help"
target="$top/data/Punktivo.chm"

if [[ "${1:-}" == "--pictures" ]]; then
  [[ $# -eq 2 ]] || { echo "usage: $0 [--pictures BUILD_DIR]" >&2; exit 2; }
  painter="$2/tests/app/punktivo-help-pictures"
  [[ -x "$painter" ]] || { echo "$painter missing: build the target punktivo-help-pictures first" >&2; exit 1; }
  QT_QPA_PLATFORM=offscreen "$painter" "$sources/bilder"
elif [[ $# -ne 0 ]]; then
  echo "usage: $0 [--pictures BUILD_DIR]" >&2
  exit 2
fi

if ! command -v chmcmd >/dev/null; then
  echo "chmcmd not found: install the Debian package fp-utils (apt-get install fp-utils)" >&2
  exit 1
fi

# Compile in a scratch copy, so nothing but the finished file lands in the source tree.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -a "$sources/." "$work/"
(cd "$work" && chmcmd --no-html-scan Punktivo.hhp) >"$work/chmcmd.log" 2>&1 || {
  cat "$work/chmcmd.log" >&2
  exit 1
}
if grep -qiE "error|warning|not found" "$work/chmcmd.log"; then
  cat "$work/chmcmd.log" >&2
  echo "chmcmd reported problems; $target left as it was" >&2
  exit 1
fi
[[ -s "$work/Punktivo.chm" ]] || { echo "chmcmd wrote no Punktivo.chm" >&2; exit 1; }
mv "$work/Punktivo.chm" "$target"
echo "wrote $target ($(stat -c %s "$target") bytes)"
