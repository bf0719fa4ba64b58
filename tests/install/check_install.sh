#!/bin/sh
# Installs the build folder $1 into a temporary DESTDIR under the prefix /usr and checks the
# installed tree: every file there, the desktop entry and the metainfo valid, the programs run.
set -eu
build=$1
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
DESTDIR="$dest" cmake --install "$build" --prefix /usr >/dev/null

missing=0
for file in \
    usr/bin/tessaro usr/bin/tessaro-cli \
    usr/share/applications/org.tessaro.Tessaro.desktop \
    usr/share/metainfo/org.tessaro.Tessaro.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/org.tessaro.Tessaro.svg \
    usr/share/icons/hicolor/16x16/apps/org.tessaro.Tessaro.png \
    usr/share/icons/hicolor/48x48/apps/org.tessaro.Tessaro.png \
    usr/share/icons/hicolor/256x256/apps/org.tessaro.Tessaro.png \
    usr/lib/udev/rules.d/70-tessaro-p2k.rules \
    usr/share/man/man1/tessaro.1 usr/share/man/man1/tessaro-cli.1 \
    usr/share/tessaro/sample/Profiles/TX100.prf usr/share/tessaro/sample/tessaro.ini \
    usr/share/tessaro/translations/tessaro_ru.qm
do
    if [ ! -s "$dest/$file" ]; then
        echo "missing from the installed tree: /$file"
        missing=1
    fi
done
[ "$missing" = 0 ]

desktop-file-validate "$dest/usr/share/applications/org.tessaro.Tessaro.desktop"
appstreamcli validate --no-net "$dest/usr/share/metainfo/org.tessaro.Tessaro.metainfo.xml" >/dev/null
grep -q '^Exec=tessaro --user-folder$' "$dest/usr/share/applications/org.tessaro.Tessaro.desktop"

"$dest/usr/bin/tessaro-cli" --version
QT_QPA_PLATFORM=offscreen "$dest/usr/bin/tessaro" --version

# Started as the desktop entry starts it, the editor makes the user's data folder with the
# sample profile in it.
mkdir "$dest/home"
HOME="$dest/home" XDG_DATA_HOME="" QT_QPA_PLATFORM=offscreen \
    "$dest/usr/bin/tessaro" --user-folder --no-phone --screenshot "$dest/shot.png" 2>/dev/null
for file in Profiles/TX100.prf Profiles/itembase.dat tessaro.ini p2klog.txt; do
    [ -e "$dest/home/.local/share/tessaro/$file" ] || { echo "not in the data folder: $file"; exit 1; }
done
echo "installed tree complete"
