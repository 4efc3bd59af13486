#!/usr/bin/env bash
# Builds the Debian package of this build tree into a folder of its own and
# checks it as an installation would use it: the control fields, exactly the
# files an installation needs, the desktop entry and the MIME type agreeing,
# the manual pages, and vellgen taken out of the package writing the code of
# a known project byte for byte.
#
# usage: check_package.sh CPACK_CONFIG VERSION PROJECT EXPECTED_CODE
# EXPECTED_CODE holds the expected lines with LF ends; the code has CR LF.
set -uo pipefail

config=$1 version=$2
project=$(readlink -f "$3")
expected_code=$(readlink -f "$4")

fail() {
  echo "FAILED: $*"
  exit 1
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack --config "$config" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  fail "cpack: $(tail -5 "$work/cpack.log")"
debs=("$work"/out/*.deb)
{ [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ]; } || fail "expected one package, found: ${debs[*]}"
deb=${debs[0]}
[ "$(basename "$deb")" = "vellcreator_${version}_$(dpkg --print-architecture).deb" ] ||
  fail "package file name $(basename "$deb")"

info=$(dpkg-deb --info "$deb") || fail "dpkg-deb --info"
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = vellcreator ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Section)" = devel ] || fail "Section: $(field Section)"
for library in libqt6core6 libqt6gui6 libqt6widgets6 libc6 libstdc++6; do
  field Depends | tr ',' '\n' | awk '{ print $1 }' | grep -qxF "$library" || fail "Depends lacks $library: $(field Depends)"
done
grep -q "^ Description: designer of a game map's interface" <<<"$info" ||
  fail "no description in: $info"

# Exactly these files, the programs executable: no stray build output.
dpkg-deb --contents "$deb" >"$work/contents" || fail "dpkg-deb --contents"
files=$(awk '$1 !~ /^d/ { print $1, $6 }' "$work/contents" | LC_ALL=C sort -k2)
expected_files="-rwxr-xr-x ./usr/bin/vellcreator
-rwxr-xr-x ./usr/bin/vellgen
-rw-r--r-- ./usr/share/applications/vellcreator.desktop
-rw-r--r-- ./usr/share/doc/vellcreator/LICENSE-DejaVuSansMono.txt
-rw-r--r-- ./usr/share/doc/vellcreator/LICENSE-LiberationSans.txt
-rw-r--r-- ./usr/share/doc/vellcreator/changelog.gz
-rw-r--r-- ./usr/share/doc/vellcreator/copyright
-rw-r--r-- ./usr/share/icons/hicolor/32x32/apps/vellcreator.png
-rw-r--r-- ./usr/share/man/man1/vellcreator.1.gz
-rw-r--r-- ./usr/share/man/man1/vellgen.1.gz
-rw-r--r-- ./usr/share/mime/packages/vellcreator.xml"
[ "$files" = "$expected_files" ] || fail "the package holds:
$files"

root=$work/root
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x"
desktop=$root/usr/share/applications/vellcreator.desktop
for line in "Exec=vellcreator %f" "Icon=vellcreator" "Categories=Development;" \
  "MimeType=application/x-vell-project;"; do
  grep -qxF "$line" "$desktop" || fail "the desktop entry lacks \"$line\""
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "the desktop entry is not valid"
else
  echo "desktop-file-validate is missing (desktop-file-utils): the desktop entry is not validated"
fi
if command -v update-mime-database >/dev/null; then
  update-mime-database "$root/usr/share/mime" >"$work/mime.log" 2>&1 ||
    fail "update-mime-database: $(cat "$work/mime.log")"
  grep -qxF "50:application/x-vell-project:*.vlp" "$root/usr/share/mime/globs2" ||
    fail "*.vlp is not a project file in: $(cat "$root/usr/share/mime/globs2")"
else
  echo "update-mime-database is missing (shared-mime-info): the MIME type is not read back"
fi
for page in vellcreator vellgen; do
  first=$(gzip -dc "$root/usr/share/man/man1/$page.1.gz" | head -1) || fail "$page.1.gz"
  [ "$first" = ".TH ${page^^} 1 \"December 2026\" \"Vell Creator $version\" \"User Commands\"" ] ||
    fail "$page.1 begins: $first"
done
for program in vellcreator vellgen; do
  ! ldd "$root/usr/bin/$program" | grep "not found" || fail "$program misses libraries"
done

# The packaged generator, from a folder without settings: the defaults.
{ mkdir "$work/run" && cd "$work/run"; } || fail "no folder to run in"
[ "$("$root/usr/bin/vellgen" --version)" = "vellgen $version" ] || fail "vellgen --version"
"$root/usr/bin/vellgen" "$project" >code.j 2>errors.txt || fail "vellgen: $(cat errors.txt)"
sed 's/$/\r/' "$expected_code" >expected.j
cmp code.j expected.j || fail "vellgen from the package wrote other code:
$(diff <(tr -d '\r' <code.j) "$expected_code")"
echo "PASSED: $(basename "$deb"), $(wc -l <code.j) lines of code"
