#!/usr/bin/env bash
# Builds the Debian package from a clean build and checks it: its files, its
# computed dependencies, the run path of the installed panel, and that a
# library earlier on LD_LIBRARY_PATH still replaces a stand-in.
#   scripts/package.sh            the .deb lands in build/package/
#   scripts/package.sh --smoke    also (as root) installs it with apt, starts
#                                 /usr/bin/qv4720sfp in a virtual display,
#                                 saves a screenshot of the connection choice
#                                 and removes the package again
# SFP_PACKAGE_DIR overrides the build folder (default build/package).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here/.."
"$here/install-deps.sh"

build=${SFP_PACKAGE_DIR:-build/package}
rm -rf "$build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j "${SFP_JOBS:-$(nproc)}" \
  --target qv4720sfp visa64 qv4000_64 qv4720_64 zelvan_simbench
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/zelvan-4720-sfp_*.deb)

fail() {
  echo "package: $*" >&2
  exit 1
}

echo "=== $deb"
dpkg-deb -I "$deb"
dpkg-deb -c "$deb"

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for file in ./usr/bin/qv4720sfp ./usr/lib/zelvan-sfp/libvisa64.so ./usr/lib/zelvan-sfp/libqv4000_64.so \
    ./usr/lib/zelvan-sfp/libqv4720_64.so ./usr/lib/zelvan-sfp/libzelvan_simbench.so \
    ./usr/share/applications/zelvan-4720-sfp.desktop \
    ./usr/share/icons/hicolor/64x64/apps/zelvan-4720-sfp.png; do
  grep -qx "$file" <<< "$contents" || fail "missing $file"
done
# Nothing where the loader or a system VISA installation looks by default.
if grep -E '^\./usr/lib/[^/]+\.so|^\./usr/lib/x86_64-linux-gnu/' <<< "$contents"; then
  fail "a library outside the private folder"
fi

depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libqt6gui6 libqt6core6 libqt6concurrent6 libyaml-cpp0.7 libc6 libstdc++6; do
  grep -q "$package" <<< "$depends" || fail "Depends lacks $package: $depends"
done
if grep -qi -E 'visa|zelvan|qv4' <<< "$depends"; then
  fail "Depends names a private library: $depends"
fi

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
runpath=$(readelf -d "$root/usr/bin/qv4720sfp" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')
[ "$runpath" = '$ORIGIN/../lib/zelvan-sfp' ] || fail "RUNPATH is '$runpath'"
resolved=$(ldd "$root/usr/bin/qv4720sfp")
for lib in libvisa64.so libqv4000_64.so libqv4720_64.so; do
  grep -q "$lib => $root/usr/bin/../lib/zelvan-sfp/$lib" <<< "$resolved" ||
    fail "$lib not found in the private folder"
done
# A library of the same name earlier on the search path wins over the stand-in.
mkdir "$root/real"
cp "$root/usr/lib/zelvan-sfp/libvisa64.so" "$root/real/"
LD_LIBRARY_PATH="$root/real" ldd "$root/usr/bin/qv4720sfp" |
  grep -q "libvisa64.so => $root/real/libvisa64.so" || fail "LD_LIBRARY_PATH does not win"
if command -v desktop-file-validate > /dev/null; then
  desktop-file-validate "$root/usr/share/applications/zelvan-4720-sfp.desktop" ||
    fail "the desktop entry is not valid"
fi
echo "=== package checks passed"

if [ "${1:-}" = "--smoke" ]; then
  [ "$(id -u)" -eq 0 ] || fail "--smoke installs the package and needs root"
  for tool in xvfb-run xwininfo import; do
    command -v "$tool" > /dev/null || fail "--smoke needs $tool"
  done
  DEBIAN_FRONTEND=noninteractive apt-get install -y "$(realpath "$deb")"
  shot="$(realpath "$build")/choice-box.png"
  profile=$(mktemp -d)
  set +e
  env -u QT_QPA_PLATFORM -u ZELVAN_SIM_BENCH -u ZELVAN_SIM_TRACE ALLUSERSPROFILE="$profile" \
    xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
      /usr/bin/qv4720sfp & pid=$!
      for i in $(seq 1 100); do
        xwininfo -root -tree | grep -q "Zelvan 4720 SFP: Select Function Card" && break
        sleep 0.2
      done
      xwininfo -root -tree | grep -q "Zelvan 4720 SFP: Select Function Card"; found=$?
      import -window root "'"$shot"'"
      kill $pid
      exit $found'
  shown=$?
  set -e
  rm -rf "$profile"
  apt-get purge -y zelvan-4720-sfp
  [ $shown -eq 0 ] || fail "the installed panel did not show the connection choice"
  echo "=== installed panel showed the connection choice: $shot"
fi
