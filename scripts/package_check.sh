#!/usr/bin/env bash
# Builds the Debian package from the build folder and checks it: lintian
# without errors, the menu entry and the AppStream data valid, every file
# the package must hold present, and qirt-batch running from the unpacked
# package.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

rm -f "$build"/qirt_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/qirt_*.deb)

lintian --fail-on error --tag-display-limit 0 "$deb" 2>/dev/null
desktop-file-validate --no-hints app/data/ru.qirt.qirt.desktop
appstreamcli validate --no-net --pedantic app/data/ru.qirt.qirt.metainfo.xml >/dev/null

files=$(dpkg-deb --contents "$deb" | awk '{print $6}')
missing=0
for f in ./usr/bin/qirt ./usr/bin/qirt-batch \
         ./usr/share/applications/ru.qirt.qirt.desktop \
         ./usr/share/metainfo/ru.qirt.qirt.metainfo.xml \
         ./usr/share/icons/hicolor/scalable/apps/ru.qirt.qirt.svg \
         ./usr/share/icons/hicolor/16x16/apps/ru.qirt.qirt.png \
         ./usr/share/icons/hicolor/256x256/apps/ru.qirt.qirt.png \
         ./usr/share/man/man1/qirt.1.gz ./usr/share/man/man1/qirt-batch.1.gz \
         ./usr/share/doc/qirt/copyright ./usr/share/doc/qirt/changelog.gz \
         ./usr/share/mime/packages/ru.qirt.qirt.xml ./usr/share/qirt/examples/rosenbrock.qirt; do
    grep -qxF "$f" <<<"$files" || { echo "package lacks $f"; missing=1; }
done
dpkg-deb --field "$deb" Depends | grep -q libqt6widgets6 || { echo "package lacks its Qt dependency"; missing=1; }

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
"$unpacked/usr/bin/qirt-batch" -f 'x[0]^2+x[1]^2' -s 1,1 -m dfp >/dev/null
# The examples are tasks the packaged program runs.
booth=$("$unpacked/usr/bin/qirt-batch" --task "$unpacked/usr/share/qirt/examples/booth.qirt")
[[ $booth == "point: 1,3"$'\n'* ]] || { echo "the packaged example does not run: $booth"; missing=1; }
# .qirt files are a type of their own that the menu entry opens.
grep -q '^MimeType=application/x-qirt-task;$' app/data/ru.qirt.qirt.desktop || { echo "no MIME type in the entry"; missing=1; }
grep -q 'type="application/x-qirt-task"' app/data/ru.qirt.qirt.xml || { echo "no MIME type defined"; missing=1; }
# The English translation travels inside the binaries.
english=$("$unpacked/usr/bin/qirt-batch" -f 'x[0]+' --lang en 2>&1 >/dev/null) || true
[[ $english == *"Error building the tree"* ]] || { echo "the packaged qirt-batch has no English"; missing=1; }
((missing == 0))
echo "package: $(basename "$deb") checked (lintian, desktop entry, MIME type, AppStream, files, qirt-batch, an example)"
