#!/usr/bin/env bash
# Checks what Mirel installs (CI runs it after the tests, as root). Installs ./build into a
# temporary prefix and compares the tree with the list below; validates the desktop entry, the
# metainfo, the manual page, the changelog and the icon; builds the Debian package with package.sh,
# checks that its dependencies are exactly the packages of the libraries the program links and that
# lintian finds no error or warning in it, installs it with apt-get, runs the installed program and
# removes the package again. MIREL_BUILD and MIREL_PACKAGE_BUILD name other folders than build and
# build-package for the build and the package.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${MIREL_BUILD:-build}"
package_build="${MIREL_PACKAGE_BUILD:-build-package}"

app_id=org.mirel.mirel
files=(
  bin/mirel
  share/applications/$app_id.desktop
  share/doc/mirel/changelog.gz
  share/doc/mirel/copyright
  share/icons/hicolor/256x256/apps/$app_id.png
  share/icons/hicolor/scalable/apps/$app_id.svg
  share/man/man1/mirel.1.gz
  share/metainfo/$app_id.metainfo.xml
)
version="$("$build/app/mirel" --version)"  # "Mirel 1.27"

fail() {
  echo "check-package: $*" >&2
  exit 1
}

# The same list of files, in the same order: `expect_files LISTING PREFIX`.
expect_files() {
  local expected
  expected="$(printf '%s\n' "${files[@]/#/$2}" | sort)"
  if [ "$1" != "$expected" ]; then
    diff <(echo "$expected") <(echo "$1") >&2 || true
    fail "the installed files differ from the list (< expected, > installed)"
  fi
}

# The installed files under PREFIX work and pass the validators.
check_files() {
  local prefix="$1" out
  [ -x "$prefix/bin/mirel" ] || fail "$prefix/bin/mirel is not executable"
  [ "$("$prefix/bin/mirel" --version)" = "$version" ] || fail "$prefix/bin/mirel --version is not \"$version\""
  out="$(readelf -d "$prefix/bin/mirel")"
  ! grep -qE 'RPATH|RUNPATH' <<<"$out" || fail "the installed program has a run path"

  out="$(desktop-file-validate "$prefix/share/applications/$app_id.desktop" 2>&1)" &&
    [ -z "$out" ] || fail "desktop-file-validate: $out"
  out="$(appstreamcli validate --no-net --pedantic --explain "$prefix/share/metainfo/$app_id.metainfo.xml" 2>&1)" &&
    ! grep -qE '^[EWIP]: ' <<<"$out" || fail "appstreamcli validate: $out"
  out="$(MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/mirel.1.gz" 2>&1 >/dev/null)" &&
    [ -z "$out" ] || fail "man --warnings: $out"
  out="$(MANWIDTH=80 man -l "$prefix/share/man/man1/mirel.1.gz" 2>/dev/null)"
  grep -q -- '--generator' <<<"$out" || fail "the manual page does not describe --generator"
  out="$(zcat "$prefix/share/doc/mirel/changelog.gz" | dpkg-parsechangelog -l - -S Version)"
  [ "$out" = "${version#Mirel }" ] || fail "the changelog's newest entry is of version $out"

  [[ "$(file -b "$prefix/share/icons/hicolor/256x256/apps/$app_id.png")" == "PNG image data, 256 x 256,"* ]] ||
    fail "the icon is not a 256 x 256 PNG"
  [[ "$(file -b "$prefix/share/icons/hicolor/scalable/apps/$app_id.svg")" == SVG* ]] ||
    fail "the scalable icon is not an SVG"
}

scratch="$(mktemp -d)"
package_installed=false
cleanup() {
  if $package_installed; then
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq mirel >/dev/null || true
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT

echo "== cmake --install into a temporary prefix"
cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
expect_files "$(cd "$scratch/prefix" && find . ! -type d | sed 's|^\./||' | sort)" ""
check_files "$scratch/prefix"

echo "== the Debian package"
bash scripts/package.sh "$package_build"
deb="$package_build/mirel_${version#Mirel }_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "$deb was not made"
expect_files "$(dpkg-deb -c "$deb" | grep -v '^d' | sed 's|.* \./usr/||' | sort)" ""

# Depends: the package of every library that the program needs and Qt's Russian texts, and nothing else.
dpkg-deb -x "$deb" "$scratch/deb"
multiarch="$(dpkg-architecture -qDEB_HOST_MULTIARCH)"
linked="$( {
  readelf -d "$scratch/deb/usr/bin/mirel" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p' |
    while read -r library; do dpkg -S "*/$multiarch/$library" | cut -d: -f1; done
  echo qt6-translations-l10n
} | sort -u)"
depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
[ "$(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/[ (].*//' | sort -u)" = "$linked" ] ||
  fail "the dependencies are not the packages of the linked libraries: $(echo $linked)"

echo "== lintian"
out="$(lintian --allow-root --fail-on error,warning "$deb" 2>&1)" || fail "lintian: $out"

echo "== apt-get install ./$deb"
package_installed=true
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "./$deb" >/dev/null
expect_files "$(dpkg -L mirel | while read -r path; do [ -d "$path" ] || echo "$path"; done | sort)" /usr/
[ "$(command -v mirel)" = /usr/bin/mirel ] || fail "mirel is not found on the PATH as /usr/bin/mirel"
check_files /usr
echo "/usr/bin/mirel --version: $(/usr/bin/mirel --version)"

DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq mirel >/dev/null
package_installed=false
! dpkg -s mirel >/dev/null 2>&1 || fail "the package is still installed after apt-get purge"
for file in "${files[@]}"; do
  [ ! -e "/usr/$file" ] || fail "/usr/$file is left after apt-get purge"
done
echo "check-package: the installed tree, the package and its removal are right"
