#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a scratch root (never onto this
# machine) and checks that a desktop finds everything where it looks: the
# program, its launcher, its AppStream metainfo, its icons and the file types
# it opens, and that the package states the program's licence as Debian asks.
#   check_package.sh <cpack> <CPackConfig.cmake> <application id> <version>
set -euo pipefail
cpack=$1 config=$2 app_id=$3 version=$4

scratch=$(mktemp -d "${TMPDIR:-/tmp}/vexlon-package.XXXXXX")
# CPack's install step lists what it placed in the build folder's
# install_manifest.txt; leave behind only one that was there before.
manifest=$(dirname "$config")/install_manifest.txt
keep_manifest=false
[ -e "$manifest" ] && keep_manifest=true
cleanup() {
    rm -rf "$scratch"
    "$keep_manifest" || rm -f "$manifest"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

if ! "$cpack" -G DEB --config "$config" -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log" >&2
    echo "FAIL: cpack could not build the package" >&2
    exit 1
fi
debs=("$scratch"/out/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "FAIL: expected one .deb, cpack made: ${debs[*]}" >&2
    exit 1
fi
deb=${debs[0]}
echo "package: $(basename "$deb")"
root=$scratch/root
dpkg-deb -x "$deb" "$root"
package=$(dpkg-deb -f "$deb" Package)

# Nothing but the program and its help browser, their manual pages, the
# desktop data, the changelog and the copyright file: no static library,
# headers, tests or benchmarks.
while IFS= read -r file; do
    case "$file" in
    usr/bin/vexlon | usr/bin/vexlon-help | usr/share/applications/* | usr/share/metainfo/* | usr/share/icons/hicolor/*) ;;
    # Only the source of the file types: the databases built from it belong
    # to the machine and are rebuilt by dpkg's triggers.
    usr/share/mime/packages/*) ;;
    "usr/share/doc/$package/copyright" | "usr/share/doc/$package/changelog.gz") ;;
    usr/share/man/man1/vexlon.1.gz | usr/share/man/man1/vexlon-help.1.gz) ;;
    *) fail "the package holds $file" ;;
    esac
done < <(cd "$root" && find . -not -type d | sed 's|^\./||')

# The two kinds of script the editor opens, as the launcher and the MIME
# package name them.
script_types=(text/x-vexlon-script text/x-game-server-script)

# Nothing of ours in the maintainer scripts: shared-mime-info and
# desktop-file-utils rebuild their databases through dpkg triggers when files
# land in usr/share/mime/packages and usr/share/applications.
dpkg-deb -e "$deb" "$scratch/control"
for script in preinst postinst prerm postrm triggers; do
    [ ! -e "$scratch/control/$script" ] || fail "the package has a $script"
done

# The launcher, valid, starting the installed program with the installed icon
# and taking a file, for the script types and plain text.
desktop=$root/usr/share/applications/$app_id.desktop
if [ -f "$desktop" ]; then
    if ! report=$(desktop-file-validate "$desktop" 2>&1) || grep -qE ': (error|warning): ' <<<"$report"; then
        fail "desktop-file-validate: $report"
    fi
    exec_line=$(sed -n 's/^Exec=//p' "$desktop")
    program=${exec_line%% *}
    if [ -z "$program" ] || [ ! -x "$root/usr/bin/$program" ] || [ ! -f "$root/usr/bin/$program" ]; then
        fail "the launcher starts '$exec_line', which is not an installed program in usr/bin"
    fi
    [[ $exec_line == *' %f' ]] || fail "the launcher starts '$exec_line', which does not end with %f"
    # The two script types and nothing else: a launcher that names plain
    # text would make the editor the default for every .txt, .md and .py file.
    mime_types=$(sed -n 's/^MimeType=//p' "$desktop")
    expected_types="$(printf '%s;' "${script_types[@]}")"
    [ "$mime_types" = "$expected_types" ] \
        || fail "the launcher's MimeType is '$mime_types', not '$expected_types'"
    icon=$(sed -n 's/^Icon=//p' "$desktop")
    [ "$icon" = "$app_id" ] || fail "the launcher's icon is '$icon', not $app_id"
else
    fail "no launcher at usr/share/applications/$app_id.desktop"
fi

# The icon: scalable, and every pixel size a desktop asks for, each really that
# size (the width and height sit in the PNG header at bytes 16 to 23).
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$app_id.svg" ] \
    || fail "no scalable icon at usr/share/icons/hicolor/scalable/apps/$app_id.svg"
for size in 16 32 48 64 128 256; do
    [ -f "$root/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png" ] \
        || fail "no ${size}x${size} icon"
done
for png in "$root"/usr/share/icons/hicolor/*x*/apps/*.png; do
    [ -f "$png" ] || continue
    folder=$(basename "$(dirname "$(dirname "$png")")")
    read -r -a bytes < <(od -An -tu1 -j16 -N8 "$png")
    width=$(((bytes[0] << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3]))
    height=$(((bytes[4] << 24) | (bytes[5] << 16) | (bytes[6] << 8) | bytes[7]))
    if [ "$(head -c 4 "$png" | od -An -tx1 | tr -d ' ')" != 89504e47 ] || [ "${width}x${height}" != "$folder" ]; then
        fail "the icon in $folder is not a ${folder} PNG (${width}x${height})"
    fi
done

# The metainfo: valid, naming the launcher, its newest release the package's version.
metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml
if [ -f "$metainfo" ]; then
    appstreamcli validate --no-net "$metainfo" >"$scratch/appstream.log" 2>&1 \
        || fail "appstreamcli validate: $(cat "$scratch/appstream.log")"
    grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" \
        || fail "the metainfo does not name the launcher $app_id.desktop"
    grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" \
        || fail "the metainfo does not give the program's licence as GPL-3.0-or-later"
    for type in "${script_types[@]}"; do
        grep -q "<mediatype>$type</mediatype>" "$metainfo" \
            || fail "the metainfo does not list the type it opens, $type"
    done
    newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n 1 | cut -d'"' -f2)
    [ "$newest" = "$version" ] || fail "the metainfo's newest release is '$newest', the program is $version"
else
    fail "no metainfo at usr/share/metainfo/$app_id.metainfo.xml"
fi

# The file types: the MIME package builds a database, as dpkg's trigger would
# on a copy of the unpacked usr/share/mime, and with nothing but that database
# a .vls and a .scp file, whatever the case of the name, get their types,
# both kinds of plain text, the program's own with the program's icon.
mime_package=$root/usr/share/mime/packages/$app_id.xml
if [ ! -f "$mime_package" ]; then
    fail "no MIME package at usr/share/mime/packages/$app_id.xml"
elif ! command -v update-mime-database >/dev/null || ! command -v gio >/dev/null; then
    fail "update-mime-database (shared-mime-info) or gio (libglib2.0-bin) is missing: tools/dev installs them"
else
    data=$scratch/data
    mkdir -p "$data/home"
    cp -R "$root/usr/share/mime" "$data/mime"
    if ! XDG_DATA_HOME=$data/home XDG_DATA_DIRS=$data \
        update-mime-database "$data/mime" >"$scratch/mime.log" 2>&1 || [ -s "$scratch/mime.log" ]; then
        fail "update-mime-database: $(cat "$scratch/mime.log")"
    fi
    for type in "${script_types[@]}"; do
        grep -qxF "$type text/plain" "$data/mime/subclasses" || fail "$type is not a kind of text/plain"
    done
    grep -qxF "${script_types[0]}:$app_id" "$data/mime/icons" \
        || fail "${script_types[0]} does not have the program's icon $app_id"
    printf 'on start\n    say "hello"\nend\n' >"$scratch/trigger.vls"
    cp "$scratch/trigger.vls" "$scratch/TRIGGER.VLS"
    cp "$scratch/trigger.vls" "$scratch/trigger.scp"
    for file in trigger.vls:text/x-vexlon-script TRIGGER.VLS:text/x-vexlon-script \
        trigger.scp:text/x-game-server-script; do
        expected=${file#*:} file=${file%%:*}
        found=$(XDG_DATA_HOME=$data/home XDG_DATA_DIRS=$data GIO_USE_VFS=local \
            gio info -a standard::content-type "$scratch/$file" 2>&1 |
            sed -n 's/^ *standard::content-type: //p') || true
        [ "$found" = "$expected" ] || fail "$file is of type '$found', not $expected"
    done
fi

# The licence: usr/share/doc/<package>/copyright, readable by everyone, in
# Debian's machine-readable format, with the whole program under the GPL
# version 3 or later and a pointer to the licence text every Debian system has.
copyright=$root/usr/share/doc/$package/copyright
if [ -f "$copyright" ]; then
    mode=$(dpkg-deb -c "$deb" | awk -v path="./usr/share/doc/$package/copyright" '$6 == path { print $1 }')
    [ "$mode" = -rw-r--r-- ] || fail "the copyright file's mode is '$mode', not -rw-r--r--"
    [ "$(head -n 1 "$copyright")" = 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ] \
        || fail "the copyright file does not start with the Format line of copyright-format 1.0"
    # Paragraphs are separated by blank lines; the one for "Files: *" covers
    # the whole program, and a stand-alone "License:" paragraph holds the text.
    files_license=$(awk -v RS= -F '\n' '{
            whole = 0; licence = ""
            for (i = 1; i <= NF; i++) {
                if ($i == "Files: *") whole = 1
                if ($i ~ /^License: /) licence = substr($i, 10)
            }
            if (whole) print licence
        }' "$copyright")
    [ "$files_license" = GPL-3+ ] \
        || fail "the copyright file gives 'Files: *' the licence '$files_license', not GPL-3+"
    licence_text=$(awk -v RS= '/^License: GPL-3\+\n/' "$copyright")
    grep -q 'any later version' <<<"$licence_text" \
        || fail "the copyright file's GPL-3+ paragraph does not allow any later version"
    grep -qF '/usr/share/common-licenses/GPL-3' <<<"$licence_text" \
        || fail "the copyright file's GPL-3+ paragraph does not point to /usr/share/common-licenses/GPL-3"
else
    fail "no copyright file at usr/share/doc/$package/copyright"
fi

# The manual pages: "man vexlon" and "man vexlon-help" find and show them,
# and each names the options its program has.
for program in vexlon vexlon-help; do
    man_page=$root/usr/share/man/man1/$program.1.gz
    if [ ! -f "$man_page" ]; then
        fail "no manual page at usr/share/man/man1/$program.1.gz"
        continue
    fi
    [ -x "$root/usr/bin/$program" ] || fail "no program usr/bin/$program"
    if ! shown=$(MANWIDTH=80 man --warnings -l "$man_page" 2>"$scratch/man.log") || [ -s "$scratch/man.log" ]; then
        fail "man -l $program: $(cat "$scratch/man.log")"
    fi
    options=(--help --version)
    [ "$program" = vexlon ] || options+=(--follow-stdin)
    for option in "${options[@]}"; do
        grep -qF -- "$option" <<<"$shown" || fail "the manual page of $program does not name $option"
    done
    found=$(MANPATH=$root/usr/share/man man -w "$program" 2>&1) || true
    [ "$found" = "$man_page" ] || fail "man -w $program finds '$found', not the package's page"
done

# The changelog of a package with no Debian revision of its own, its newest
# entry the package's version.
changelog=$root/usr/share/doc/$package/changelog.gz
if [ -f "$changelog" ]; then
    first=$(zcat "$changelog" | head -n 1)
    [[ $first == "$package ($version) "* ]] || fail "the changelog's newest entry is '$first', not $version"
else
    fail "no changelog at usr/share/doc/$package/changelog.gz"
fi

# Debian's own checks of a package: no error and no warning.
if ! command -v lintian >/dev/null; then
    fail "lintian is missing: tools/dev installs it"
else
    lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$scratch/lintian.log" 2>&1 \
        || fail "lintian: $(cat "$scratch/lintian.log")"
fi

# The dependencies dpkg-shlibdeps found: the Qt 6 libraries the programs
# link (the browser engine's through the help browser).
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for library in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6webenginewidgets6; do
    grep -qE "(^|[ ,])$library([ ,(]|$)" <<<"$depends" || fail "Depends does not list $library"
done
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version is not $version"

if ((failures)); then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "package checks passed"
