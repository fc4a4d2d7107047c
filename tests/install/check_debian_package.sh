#!/usr/bin/env bash
# Makes the Debian package from the build the tests run in (cpack on the
# build folder, whatever its build type) and checks what it holds: the
# control fields, the program, the desktop entry (valid, naming the program,
# the icon and the MIME type the package brings), the icons, the MIME type
# of "*.sec" and the manual, all under /usr; then unpacks it into a scratch
# folder and runs the unpacked program's --help there.
#
# usage: check_debian_package.sh BUILD_DIR VERSION [CPACK]
# Exits 77 (skipped) where dpkg-deb is missing.
set -euo pipefail

build=$1
version=$2
cpack=${3:-cpack}

if ! command -v dpkg-deb >/dev/null 2>&1; then
  echo "dpkg-deb is not installed: no Debian package to check"
  exit 77
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

# No compression: the test checks what the package holds, not its size.
if ! (cd "$build" && "$cpack" -G DEB -B "$scratch/out" -D CPACK_DEBIAN_COMPRESSION_TYPE=none \
        >"$scratch/cpack.log" 2>&1); then
  cat "$scratch/cpack.log" >&2
  echo "FAILED: cpack could not make the package" >&2
  exit 1
fi
packages=("$scratch"/out/lithoprism_*.deb)
if [ ${#packages[@]} -ne 1 ] || [ ! -f "${packages[0]}" ]; then
  ls -l "$scratch/out" >&2
  echo "FAILED: cpack made no single lithoprism_*.deb" >&2
  exit 1
fi
deb=${packages[0]}
echo "package: $(basename "$deb")"

# Control fields.
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = lithoprism ] || fail "Package is '$(field Package)', not lithoprism"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not the project's $version"
architecture=$(dpkg --print-architecture)
[ "$(field Architecture)" = "$architecture" ] || fail "Architecture is '$(field Architecture)', not $architecture"
[[ "$(field Maintainer)" == *"<"*"@"*">" ]] || fail "Maintainer '$(field Maintainer)' is not 'Name <address>'"
[ -n "$(field Description)" ] || fail "no Description"
depends=$(field Depends)
echo "Depends: $depends"
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6svg6; do
  [[ ", $depends," == *", $library"[\ ,]* ]] || fail "Depends does not name $library"
done

# Contents: each file at its place, and nothing outside /usr.
dpkg-deb --contents "$deb" >"$scratch/contents"
mode_of() { awk -v path="$1" '$6 == path { print $1 }' "$scratch/contents"; }
expect_file() {
  local mode
  mode=$(mode_of "$1")
  if [ -z "$mode" ]; then
    fail "the package has no $1"
  elif [ "$mode" != "$2" ]; then
    fail "$1 has the mode $mode, not $2"
  fi
}
expect_file ./usr/bin/lithoprism -rwxr-xr-x
expect_file ./usr/share/applications/lithoprism.desktop -rw-r--r--
expect_file ./usr/share/icons/hicolor/64x64/apps/lithoprism.png -rw-r--r--
expect_file ./usr/share/icons/hicolor/scalable/apps/lithoprism.svg -rw-r--r--
expect_file ./usr/share/mime/packages/lithoprism-sec.xml -rw-r--r--
expect_file ./usr/share/doc/lithoprism/lithoprism.pdf -rw-r--r--
outside=$(awk '$6 != "./" && $6 != "./usr/" && $6 !~ /^\.\/usr\// { print $6 }' "$scratch/contents")
[ -z "$outside" ] || fail "files outside /usr: $outside"
[ -z "$(awk '$6 ~ /^\.\/usr\/local\// { print $6 }' "$scratch/contents")" ] || fail "files under /usr/local"

# Unpacked into a scratch root.
root=$scratch/root
dpkg-deb -x "$deb" "$root"
share=$root/usr/share

# The MIME type the package defines.
mime=$share/mime/packages/lithoprism-sec.xml
mime_type=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$mime")
[ "$mime_type" = application/x-lithoprism-sec ] || fail "the MIME file defines '$mime_type'"
grep -q '<glob pattern="\*\.sec"/>' "$mime" || fail "the MIME type has no glob *.sec"
if command -v xmllint >/dev/null 2>&1; then
  xmllint --noout "$mime" || fail "the MIME file is not well-formed XML"
fi

# The desktop entry: desktop-file-validate where it is installed, and its
# keys read here in any case.
desktop=$share/applications/lithoprism.desktop
if command -v desktop-file-validate >/dev/null 2>&1; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop entry"
else
  echo "desktop-file-validate is not installed: the desktop entry's keys are checked here only"
fi
[ "$(head -n 1 "$desktop")" = "[Desktop Entry]" ] || fail "the desktop entry does not start with [Desktop Entry]"
bad_lines=$(grep -nvE '^(#.*|\[[^]]+\]|[A-Za-z0-9-]+(\[[^]]+\])?=.*|)$' "$desktop" || true)
[ -z "$bad_lines" ] || fail "desktop entry lines that are no key, group or comment: $bad_lines"
duplicates=$(grep -oE '^[A-Za-z0-9-]+(\[[^]]+\])?=' "$desktop" | sort | uniq -d)
[ -z "$duplicates" ] || fail "desktop entry keys given twice: $duplicates"
key() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(key Type)" = Application ] || fail "Type is '$(key Type)'"
[ "$(key Name)" = Lithoprism ] || fail "Name is '$(key Name)'"
[ -n "$(key Comment)" ] || fail "no Comment"
[ "$(key Exec)" = "lithoprism %f" ] || fail "Exec is '$(key Exec)', not 'lithoprism %f'"
icon=$(key Icon)
[ -f "$share/icons/hicolor/64x64/apps/$icon.png" ] || fail "the icon '$icon' is not in the package"
[[ ";$(key MimeType)" == *";$mime_type;"* ]] || fail "MimeType '$(key MimeType)' does not name $mime_type"
categories=$(key Categories)
for category in Science Education Geoscience; do
  [[ ";$categories" == *";$category;"* ]] || fail "Categories '$categories' lacks $category"
done

# The unpacked program runs from there, with the system's libraries only.
help=$(env -u LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen "$root/usr/bin/lithoprism" --help 2>&1) ||
  fail "the unpacked program's --help failed: $help"
[[ "$help" == *"--export-model"* ]] || fail "the unpacked program's --help says: $help"

if [ "$failures" -ne 0 ]; then
  echo "$failures checks failed; the package holds:" >&2
  cat "$scratch/contents" >&2
  exit 1
fi
echo "the package holds the program, its desktop entry, icons, MIME type and manual; its program runs"
