#!/usr/bin/env bash
# Checks of the installed tree, one per ctest test: install_check.sh CHECK.
# The tree is staged by `install_check.sh stage` into $PUNKTIVO_STAGE (a DESTDIR) with the
# prefix $PUNKTIVO_PREFIX; tests/install/CMakeLists.txt sets the environment.
set -euo pipefail

: "${PUNKTIVO_BUILD_DIR:?}" "${PUNKTIVO_SOURCE_DIR:?}" "${PUNKTIVO_STAGE:?}" "${PUNKTIVO_PREFIX:?}"
: "${PUNKTIVO_VERSION:?}" "${PUNKTIVO_BINDIR:?}" "${PUNKTIVO_GAMESDIR:?}" "${PUNKTIVO_DATADIR:?}"
: "${PUNKTIVO_GAMEDATADIR:?}" "${PUNKTIVO_MANDIR:?}" "${PUNKTIVO_APPSTREAM_ID:?}"
: "${PUNKTIVO_ICON_SIZES:?}" "${PUNKTIVO_EXPECT_HELP:?}" "${PUNKTIVO_EXPECT_GAME:?}"

root=$PUNKTIVO_STAGE$PUNKTIVO_PREFIX
bin=$root/$PUNKTIVO_BINDIR
games=$root/$PUNKTIVO_GAMESDIR
data=$root/$PUNKTIVO_GAMEDATADIR
doc=$PUNKTIVO_DATADIR/doc/punktivo
collections=(leicht.ptv mittel.ptv schwer.ptv extrem.ptv)

fail() { echo "FAIL: $*" >&2; exit 1; }
on() { [[ $1 == ON || $1 == 1 || $1 == TRUE ]]; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# A fresh folder under $scratch, by its physical path.
tempdir() { local d; d=$(mktemp -d "$scratch/XXXXXX"); (cd "$d" && pwd -P); }

# Every file the install must produce, relative to the prefix.
expected_files() {
  {
    echo "$PUNKTIVO_BINDIR/punktivo-tool"
    echo "$PUNKTIVO_GAMESDIR/punktivo-launcher"
    if on "$PUNKTIVO_EXPECT_GAME"; then echo "$PUNKTIVO_GAMESDIR/punktivo"; fi
    for f in "${collections[@]}"; do echo "$PUNKTIVO_GAMEDATADIR/$f"; done
    if on "$PUNKTIVO_EXPECT_HELP"; then echo "$PUNKTIVO_GAMEDATADIR/Punktivo.chm"; fi
    echo "$PUNKTIVO_DATADIR/applications/punktivo.desktop"
    echo "$PUNKTIVO_DATADIR/metainfo/$PUNKTIVO_APPSTREAM_ID.metainfo.xml"
    echo "$PUNKTIVO_DATADIR/icons/hicolor/scalable/apps/punktivo.svg"
    for s in $PUNKTIVO_ICON_SIZES; do echo "$PUNKTIVO_DATADIR/icons/hicolor/${s}x$s/apps/punktivo.png"; done
    echo "$PUNKTIVO_MANDIR/man6/punktivo.6.gz"
    echo "$PUNKTIVO_MANDIR/man6/punktivo-launcher.6.gz"
    echo "$PUNKTIVO_MANDIR/man1/punktivo-tool.1.gz"
    echo "$doc/README.md"
    echo "$doc/punktivo-tool.md"
    echo "$doc/copyright"
    echo "$doc/changelog.gz"
  } | LC_ALL=C sort
}

# Width and height of a PNG, from its header.
png_size() {
  local b
  read -r -a b < <(od -An -tu1 -j16 -N8 "$1")
  echo "$(((b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3]))x$(((b[4] << 24) | (b[5] << 16) | (b[6] << 8) | b[7]))"
}

check_stage() {
  rm -rf "$PUNKTIVO_STAGE"
  DESTDIR=$PUNKTIVO_STAGE "${PUNKTIVO_CMAKE:-cmake}" --install "$PUNKTIVO_BUILD_DIR" --prefix "$PUNKTIVO_PREFIX"
  # Nothing may land outside the prefix.
  local outside
  outside=$(cd "$PUNKTIVO_STAGE" && find . -mindepth 1 \( -type f -o -type l \) | grep -v "^\.$PUNKTIVO_PREFIX/" || true)
  [[ -z $outside ]] || fail "installed outside $PUNKTIVO_PREFIX: $outside"
}

check_files() {
  local actual
  actual=$(cd "$root" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort)
  if ! diff -u <(expected_files) <(echo "$actual") >&2; then
    fail "installed files differ from the expected list (- expected, + installed)"
  fi
  local f programs=("$bin/punktivo-tool" "$games/punktivo-launcher")
  if on "$PUNKTIVO_EXPECT_GAME"; then programs+=("$games/punktivo"); fi
  for f in "${programs[@]}"; do
    [[ $(stat -c %a "$f") == 755 ]] || fail "$f: mode $(stat -c %a "$f"), want 755"
  done
  while read -r f; do
    [[ $f == "$PUNKTIVO_BINDIR"/* || $f == "$PUNKTIVO_GAMESDIR"/* ]] && continue
    if [[ -L $root/$f ]]; then
      [[ -f $root/$f ]] || fail "$f: a dangling link"
      continue
    fi
    [[ $(stat -c %a "$root/$f") == 644 ]] || fail "$f: mode $(stat -c %a "$root/$f"), want 644"
  done < <(expected_files)
  [[ $(readlink "$root/$PUNKTIVO_MANDIR/man6/punktivo-launcher.6.gz") == punktivo.6.gz ]] ||
    fail "punktivo-launcher(6) is not a link to punktivo(6)"
  cmp "$PUNKTIVO_SOURCE_DIR/packaging/debian/copyright" "$root/$doc/copyright" || fail "copyright file"
  gzip -dc "$root/$doc/changelog.gz" | cmp - "$PUNKTIVO_SOURCE_DIR/packaging/debian/changelog" ||
    fail "changelog.gz is not packaging/debian/changelog"
  for f in "${collections[@]}" $(on "$PUNKTIVO_EXPECT_HELP" && echo Punktivo.chm); do
    cmp "$PUNKTIVO_SOURCE_DIR/data/$f" "$data/$f" || fail "$data/$f differs from data/$f"
  done
  local s size
  for s in $PUNKTIVO_ICON_SIZES; do
    size=$(png_size "$root/$PUNKTIVO_DATADIR/icons/hicolor/${s}x$s/apps/punktivo.png")
    [[ $size == "${s}x$s" ]] || fail "icon in ${s}x$s is $size"
  done
  echo "installed files as expected: $(expected_files | wc -l)"
}

check_desktop() {
  local file=$root/$PUNKTIVO_DATADIR/applications/punktivo.desktop out
  out=$(desktop-file-validate "$file" 2>&1) || fail "desktop-file-validate: $out"
  [[ -z $out ]] || fail "desktop-file-validate warns: $out"
  echo "desktop-file-validate $file: no findings"
  # What the entry names must be installed: the launcher it runs (by its full path under
  # the prefix, which a session's PATH need not hold) and the icon it shows.
  local exec icon
  exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$file")
  icon=$(sed -n 's/^Icon=//p' "$file")
  [[ $exec == "$PUNKTIVO_PREFIX/$PUNKTIVO_GAMESDIR/punktivo-launcher" ]] || fail "Exec=$exec"
  [[ -x $PUNKTIVO_STAGE$exec ]] || fail "Exec=$exec is not an installed program"
  [[ -f $root/$PUNKTIVO_DATADIR/icons/hicolor/scalable/apps/$icon.svg ]] || fail "Icon=$icon has no SVG"
  grep -qx 'Categories=Game;LogicGame;' "$file" || fail "categories"
  grep -q '^Comment=' "$file" && grep -q '^Comment\[de\]=' "$file" || fail "English and German comment"
}

check_appstream() {
  local file=$root/$PUNKTIVO_DATADIR/metainfo/$PUNKTIVO_APPSTREAM_ID.metainfo.xml
  appstreamcli validate --no-net "$file" || fail "appstreamcli validate"
  # The tree as a whole: metainfo, the desktop entry it launches and the icons.
  appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree"
  local launchable
  launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$file")
  [[ -f $root/$PUNKTIVO_DATADIR/applications/$launchable ]] || fail "launchable $launchable not installed"
  grep -qF '<project_license>MIT</project_license>' "$file" || fail "project_license is not MIT"
  # The screenshot named is the one kept in packaging/screenshots, at the size stated.
  local image name
  image=$(sed -n 's|.*<image type="source" width="\([0-9]*\)" height="\([0-9]*\)">.*/\([^/<]*\)</image>.*|\1x\2 \3|p' "$file")
  name=${image#* }
  [[ -f $PUNKTIVO_SOURCE_DIR/packaging/screenshots/$name ]] || fail "screenshot $name not in packaging/screenshots"
  [[ $(png_size "$PUNKTIVO_SOURCE_DIR/packaging/screenshots/$name") == "${image%% *}" ]] ||
    fail "screenshot $name is not ${image%% *}"
}

# The installed tool, run from an empty directory without PUNKTIVO_DATA_DIR, finds the
# installed collections and makes a game.
check_tool() {
  local work out
  work=$(tempdir)
  out=$(tempdir)/generate.txt
  (cd "$work" && env -u PUNKTIVO_DATA_DIR "$bin/punktivo-tool" generate leicht --seed 7) >"$out" ||
    fail "punktivo-tool generate leicht failed: $(cat "$out")"
  cat "$out"
  grep -qx 'level=leicht' "$out" || fail "no level=leicht"
  grep -qx 'unique=1' "$out" || fail "not unique"
  grep -qE '^board=[1-9.]{81}$' "$out" || fail "no board line"
  local board givens given
  board=$(sed -n 's/^board=//p' "$out")
  givens=$(sed -n 's/^givens=//p' "$out")
  given=$(sed -n 's/^givenCount=//p' "$out")
  [[ $board == "$givens" ]] || fail "a new game holds only its givens"
  ((given >= 17 && given < 81)) || fail "givenCount=$given"
  [[ -z $(ls -A "$work") ]] || fail "generate without -o wrote into the working directory: $(ls -A "$work")"

  # The same game written as the player's board file, and read back by the installed tool.
  (cd "$work" && env -u PUNKTIVO_DATA_DIR "$bin/punktivo-tool" generate leicht --seed 7 -o brett.ptv:3) >/dev/null
  [[ $(stat -c %s "$work/brett.ptv") == 9600 ]] || fail "brett.ptv is not 9600 bytes"
  (cd "$work" && "$bin/punktivo-tool" show brett.ptv:3) | grep -qx "givens=$givens" || fail "record 3 read back"

  # Taken out of its tree, the same program finds no collection (unless the folder compiled
  # in for the build's prefix happens to hold one): the installed copy really used the
  # collections beside it.
  if [[ ! -e $PUNKTIVO_COMPILED_DATA_DIR/leicht.ptv ]]; then
    local lonely rc=0
    lonely=$(tempdir)
    cp "$bin/punktivo-tool" "$lonely/"
    (cd "$work" && rm -f brett.ptv && env -u PUNKTIVO_DATA_DIR "$lonely/punktivo-tool" generate leicht --seed 7) \
      >/dev/null 2>&1 || rc=$?
    [[ $rc == 2 ]] || fail "a lone punktivo-tool gave exit $rc, want 2 (no collection)"
  fi
}

# The game's own lookup (punktivo_storage) against the installed tree, moved elsewhere as
# a whole: a probe program placed among the installed programs (beside the game and beside
# the tool, which sit in different folders), started from an empty working directory.
check_lookup() {
  local tree folder
  tree=$(tempdir)
  cp -a "$PUNKTIVO_STAGE/." "$tree/"
  local moved_data
  moved_data=$(cd "$tree$PUNKTIVO_PREFIX/$PUNKTIVO_GAMEDATADIR" && pwd -P)
  for folder in "$PUNKTIVO_GAMESDIR" "$PUNKTIVO_BINDIR"; do
    local probe work out f
    probe=$tree$PUNKTIVO_PREFIX/$folder/$(basename "$PUNKTIVO_PROBE")
    cp "$PUNKTIVO_PROBE" "$probe"
    work=$(tempdir)
    out=$(tempdir)/lookup.txt
    (cd "$work" && env -u PUNKTIVO_DATA_DIR "$probe") >"$out"
    echo "from $folder/:"
    cat "$out"
    grep -qxF "installedDataDir=$moved_data" "$out" || fail "installed data folder not found from $folder/"
    for f in "${collections[@]}"; do
      grep -qxF "$f=$moved_data/$f" "$out" || fail "$f not found in the installed tree from $folder/"
    done
    if on "$PUNKTIVO_EXPECT_HELP"; then
      grep -qxF "Punktivo.chm=$moved_data/Punktivo.chm" "$out" || fail "help file not found from $folder/"
    else
      grep -qxF "Punktivo.chm=Punktivo.chm" "$out" || fail "help file reported though none is installed"
    fi
    # A stock file in the working directory still comes first.
    cp "$moved_data/mittel.ptv" "$work/"
    (cd "$work" && env -u PUNKTIVO_DATA_DIR "$probe") | grep -qxF "mittel.ptv=mittel.ptv" ||
      fail "the working directory does not come first"
    rm "$probe"
  done
}

# The launcher the desktop entry starts: the game (here a stand-in beside it) runs in the
# player's data folder, which is created, with the arguments passed on.
check_launcher() {
  local t
  t=$(tempdir)
  mkdir -p "$t/bin" "$t/home" "$t/elsewhere"
  cp "$games/punktivo-launcher" "$t/bin/"
  cat >"$t/bin/punktivo" <<'EOF'
#!/bin/sh
{ pwd -P; for a in "$@"; do printf '%s\n' "$a"; done; } >"$LAUNCH_RECORD"
exit 3
EOF
  chmod +x "$t/bin/punktivo"
  local record=$t/record rc
  run() {
    rc=0
    (cd "$t/elsewhere" && env -i PATH=/usr/bin:/bin HOME="$t/home" LAUNCH_RECORD="$record" "$@" \
      "$t/bin/punktivo-launcher" "two words" x) || rc=$?
    [[ $rc == 3 ]] || fail "launcher exit $rc, want the game's 3"
  }
  expect_dir() {
    [[ -d $1 ]] || fail "$1 not created"
    diff <(printf '%s\n' "$1" "two words" x) "$record" >&2 || fail "game not started in $1 with the arguments"
  }
  run XDG_DATA_HOME="$t/xdg"
  expect_dir "$t/xdg/punktivo"
  run
  expect_dir "$t/home/.local/share/punktivo"
  rm -rf "$t/home/.local"
  run XDG_DATA_HOME=
  expect_dir "$t/home/.local/share/punktivo"
  rm -rf "$t/home/.local"
  run XDG_DATA_HOME=relative/data  # not absolute: ignored, as the XDG rules say
  expect_dir "$t/home/.local/share/punktivo"
  [[ ! -e $t/elsewhere/relative ]] || fail "a relative XDG_DATA_HOME was used"
  [[ -z $(ls -A "$t/elsewhere") ]] || fail "the launcher wrote into the directory it was started from"
  echo "launcher: working directories and arguments as expected"
}

# Man pages: groff finds nothing to warn about, and every operation the tool knows is
# documented.
check_man() {
  local page err
  for page in "$root/$PUNKTIVO_MANDIR/man6/punktivo.6.gz" "$root/$PUNKTIVO_MANDIR/man1/punktivo-tool.1.gz"; do
    err=$(gzip -dc "$page" | groff -man -Tutf8 -ww -z 2>&1) || fail "groff failed on $page: $err"
    [[ -z $err ]] || fail "groff warns on $page: $err"
  done
  local tool_page
  tool_page=$(gzip -dc "$root/$PUNKTIVO_MANDIR/man1/punktivo-tool.1.gz")
  local ops op count=0
  ops=$("$bin/punktivo-tool" --help | sed -n '/^operations:/,$p' | sed 's/^operations://')
  for op in $ops; do
    grep -qxF ".B ${op//-/\\-}" <<<"$tool_page" || fail "operation $op has no entry in punktivo-tool(1)"
    grep -qF "punktivo\\-tool ${op//-/\\-} " <<<"$tool_page" ||
      fail "operation $op has no example in punktivo-tool(1)"
    count=$((count + 1))
  done
  ((count >= 10)) || fail "only $count operations read from --help"
  local game_page
  game_page=$(gzip -dc "$root/$PUNKTIVO_MANDIR/man6/punktivo.6.gz")
  for f in brett.ptv Champions.Rhm "${collections[@]}" Punktivo.chm; do
    grep -qF "$f" <<<"$game_page" || fail "punktivo(6) does not name $f"
  done
  echo "man pages: no groff warnings; $count tool operations documented with examples"
}

# The Debian package: made by CPack from this build, it holds the same files under /usr and
# depends on the libraries and fonts the game needs. (CPack first runs the build's
# preinstall target, a few seconds' up-to-date check after ./test's build.) The package
# stays in $PUNKTIVO_DEB_DIR for the lintian check.
check_deb() {
  local out deb arch
  rm -rf "$PUNKTIVO_DEB_DIR"
  mkdir -p "$PUNKTIVO_DEB_DIR"
  out=$(tempdir)
  "${PUNKTIVO_CPACK:-cpack}" --config "$PUNKTIVO_BUILD_DIR/CPackConfig.cmake" -G DEB -B "$out" >"$out/cpack.log" 2>&1 ||
    { cat "$out/cpack.log" >&2; fail "cpack"; }
  deb=$(find "$out" -maxdepth 1 -name '*.deb')
  [[ -n $deb && $(wc -l <<<"$deb") == 1 ]] || fail "cpack made no single .deb: $deb"
  arch=$(dpkg --print-architecture)
  [[ $(basename "$deb") == "punktivo_${PUNKTIVO_VERSION}_$arch.deb" ]] || fail "package file name $(basename "$deb")"
  mv "$deb" "$PUNKTIVO_DEB_DIR/"
  deb=$PUNKTIVO_DEB_DIR/$(basename "$deb")
  dpkg-deb --info "$deb"
  local depends
  depends=$(dpkg-deb --field "$deb" Depends)
  local need=(libchm1 fonts-liberation2 fonts-dejavu-core libc6 libstdc++6)
  if on "$PUNKTIVO_EXPECT_GAME"; then need+=(libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6); fi
  local p
  for p in "${need[@]}"; do
    grep -qE "(^|, )${p//+/\\+}( |,|$)" <<<"$depends" || fail "Depends lacks $p: $depends"
  done
  [[ $(dpkg-deb --field "$deb" Package) == punktivo ]] || fail "package name"
  [[ $(dpkg-deb --field "$deb" Section) == games ]] || fail "section"
  [[ $(dpkg-deb --field "$deb" Version) == "$PUNKTIVO_VERSION" ]] || fail "version"
  local contents
  contents=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./usr/||' | LC_ALL=C sort)
  # The package adds lintian's override file to the installed tree.
  if ! diff -u <({ expected_files; echo share/lintian/overrides/punktivo; } | LC_ALL=C sort) <(echo "$contents") >&2; then
    fail "package contents differ from the expected list (- expected, + in the package)"
  fi
  # The changelog's newest entry is this package.
  local logged
  logged=$(dpkg-deb --fsys-tarfile "$deb" | tar -xOf - "./usr/$doc/changelog.gz" | gzip -dc |
    dpkg-parsechangelog -l - -S Version)
  [[ $logged == "$PUNKTIVO_VERSION" ]] || fail "changelog.gz ends at version $logged"
  echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes, Depends: $depends"
}

# Debian's package checker finds no error and no warning (informational tags are printed
# but pass). The one override, packaging/debian/lintian/punktivo, says why it is right.
check_lintian() {
  local deb out rc=0
  deb=$(find "$PUNKTIVO_DEB_DIR" -maxdepth 1 -name '*.deb')
  [[ -n $deb ]] || fail "no package in $PUNKTIVO_DEB_DIR"
  command -v lintian >/dev/null || fail "lintian is not installed (Debian package lintian)"
  out=$(lintian --fail-on error,warning --display-level '>=info' "$deb" 2>&1) || rc=$?
  # As root lintian says so; that remark is no finding.
  out=$(grep -vx 'running with root privileges is not recommended!' <<<"$out" || true)
  [[ -z $out ]] || echo "$out"
  ((rc == 0)) || fail "lintian exit $rc"
  ! grep -qE '^[EW]: ' <<<"$out" || fail "lintian reports errors or warnings"
  echo "lintian $(lintian --version | awk '{print $2}'): no errors, no warnings on $(basename "$deb")"
}

case "${1:-}" in
  stage | files | desktop | appstream | tool | lookup | launcher | man | deb | lintian) "check_$1" ;;
  *) echo "usage: $0 stage|files|desktop|appstream|tool|lookup|launcher|man|deb|lintian" >&2; exit 2 ;;
esac
