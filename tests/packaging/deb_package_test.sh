#!/usr/bin/env bash
# `cpack -G DEB` from the build folder (no build: it installs what is built)
# makes a package that holds the program folder, the commands, the device
# rule, the desktop entry and its icons, that depends on what dpkg-shlibdeps
# found, and whose post-install reloads the udev rules. The package is not
# installed.
set -euo pipefail
build=$1
out=$(mktemp -d "${TMPDIR:-/tmp}/tavrik-deb-XXXXXX")
trap 'rm -rf "$out"' EXIT
# gzip: the fastest compression every dpkg reads (the release package uses xz).
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip >"$out/cpack.log" 2>&1 ||
  { cat "$out/cpack.log"; exit 1; }
package=$(find "$out" -maxdepth 1 -name 'tavrik_*.deb')
[ -n "$package" ] || { echo "no package in $out"; cat "$out/cpack.log"; exit 1; }

contents=$(dpkg-deb -c "$package")
missing=0
for entry in \
  ./usr/lib/tavrik/Tavrik ./usr/lib/tavrik/libcvn_CrashDump.so ./usr/lib/tavrik/SDK/osConfLib.so \
  ./usr/lib/tavrik/tavrik-devsim ./usr/lib/tavrik/tavrik-post \
  ./usr/lib/tavrik/skin/res.xml ./usr/lib/tavrik/skin/common/nodevice.png ./usr/lib/tavrik/DefaultData/Language.config \
  "./usr/bin/tavrik -> ../lib/tavrik/Tavrik" "./usr/bin/tavrik-devsim -> ../lib/tavrik/tavrik-devsim" \
  "./usr/bin/tavrik-post -> ../lib/tavrik/tavrik-post" \
  ./usr/lib/udev/rules.d/70-tavrik.rules ./usr/share/applications/tavrik.desktop \
  ./usr/share/icons/hicolor/16x16/apps/tavrik.png ./usr/share/icons/hicolor/256x256/apps/tavrik.png; do
  if ! grep -qF -- " $entry" <<<"$contents"; then
    echo "missing from the package: $entry"
    missing=1
  fi
done
if grep -qE '\./usr/lib/tavrik/.*_tests?$|/bench/' <<<"$contents"; then
  echo "test or benchmark programs in the package:"
  grep -E '\./usr/lib/tavrik/.*_tests?$|/bench/' <<<"$contents"
  missing=1
fi

depends=$(dpkg-deb -f "$package" Depends)
echo "Depends: $depends"
for library in libc6 libstdc++6 libx11-6 libcairo2 libjsoncpp25; do
  grep -q "$library" <<<"$depends" || { echo "Depends lacks $library"; missing=1; }
done
dpkg-deb -e "$package" "$out/control"
grep -q 'udevadm control --reload-rules' "$out/control/postinst" || { echo "no udev reload in postinst"; missing=1; }
[ -x "$out/control/postinst" ] || { echo "postinst is not executable"; missing=1; }
exit $missing
