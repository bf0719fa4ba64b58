#!/bin/sh
# Makes the Debian package of the build folder $1 with cpack and checks it: the programs and the
# desktop files inside, the dependencies worked out from the programs (Qt, libusb, giflib, simdjson).
set -eu
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
deb=$(ls "$out"/tessaro_*.deb)
dpkg-deb -c "$deb" > "$out/contents"
for file in ./usr/bin/tessaro ./usr/bin/tessaro-cli ./usr/share/applications/org.tessaro.Tessaro.desktop \
            ./usr/lib/udev/rules.d/70-tessaro-p2k.rules; do
    grep -q " $file\$" "$out/contents" || { echo "not in the package: $file"; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libusb-1.0-0 libgif7 libsimdjson14; do
    case "$depends" in
        *"$lib"*) ;;
        *) echo "Depends lacks $lib: $depends"; exit 1 ;;
    esac
done
echo "$(basename "$deb"): Depends: $depends"
