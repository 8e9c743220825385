#!/usr/bin/env bash
# Builds the Debian package from a clean build with Debian's hardening flags
# and checks it: lintian, the AppStream metadata, the desktop entry and the run
# paths must give no error and no warning; then its files, its maintainer
# scripts (none), its computed dependencies, its versions, and that a library
# earlier on LD_LIBRARY_PATH still replaces a stand-in.
#   scripts/package.sh            the .deb lands in build/package/
#   scripts/package.sh --smoke    also (as root) installs it with apt, starts
#                                 /usr/bin/qv4720sfp in a virtual display,
#                                 saves a screenshot of the connection choice,
#                                 purges the package and checks that none of
#                                 its files is left
# SFP_PACKAGE_DIR overrides the build folder (default build/package).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here/.."
"$here/install-deps.sh"

app_id=com.quorvel.zelvan4720sfp
build=${SFP_PACKAGE_DIR:-build/package}
rm -rf "$build"
# Debian's flags with every hardening feature. No -g: the package ships
# stripped binaries. The preprocessor flags go where CMake reads them.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CFLAGS_MAINT_STRIP=-g \
  DEB_CXXFLAGS_MAINT_STRIP=-g dpkg-buildflags --export=sh)"
export CFLAGS="$CPPFLAGS $CFLAGS" CXXFLAGS="$CPPFLAGS $CXXFLAGS" LDFLAGS
launcher=()
if command -v ccache > /dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="$PWD"
fi
# Release for its NDEBUG only: the optimisation is Debian's (-O2, above).
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_C_FLAGS_RELEASE=-DNDEBUG -DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG "${launcher[@]}"
cmake --build "$build" -j "${SFP_JOBS:-$(nproc)}" --target sfp_installed
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/zelvan-4720-sfp_*.deb)

fail() {
  echo "package: $*" >&2
  exit 1
}

echo "=== $deb"
dpkg-deb -I "$deb"
dpkg-deb -c "$deb"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
dpkg-deb -e "$deb" "$root/DEBIAN"

echo "=== lintian"
# Errors and warnings fail; info tags are shown.
lintian_out=$(lintian --display-info --fail-on none "$deb")
echo "${lintian_out:-(no tags)}"
if grep -E '^[EW]: ' <<< "$lintian_out"; then fail "lintian reports the lines above"; fi

echo "=== appstreamcli, desktop-file-validate"
metainfo="$root/usr/share/metainfo/$app_id.metainfo.xml"
appstream_out=$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1) ||
  fail "appstreamcli: $appstream_out"
echo "$appstream_out"
if grep -E '^[EW]: ' <<< "$appstream_out"; then fail "appstreamcli reports the lines above"; fi
desktop_out=$(desktop-file-validate "$root/usr/share/applications/$app_id.desktop" 2>&1) ||
  fail "desktop-file-validate: $desktop_out"
[ -z "$desktop_out" ] || fail "desktop-file-validate: $desktop_out"
echo "desktop entry valid"

echo "=== systemd unit"
# Checked against the packaged program: the unit's copy names it in $root.
unit_dir=$(mktemp -d)
sed "s|/usr/bin/qv4720sfp|$root/usr/bin/qv4720sfp|" "$root/lib/systemd/system/qv4720sfp.service" \
  > "$unit_dir/qv4720sfp.service"
verify_out=$(systemd-analyze verify --man=no "$unit_dir/qv4720sfp.service" 2>&1) ||
  fail "systemd-analyze verify: $verify_out"
rm -rf "$unit_dir"
[ -z "$verify_out" ] || fail "systemd-analyze verify: $verify_out"
echo "unit valid"

echo "=== run paths"
"$here/../packaging/check_runpath.sh" "$root"

echo "=== contents"
scripts=$(ls "$root/DEBIAN" | tr '\n' ' ')
[ "$scripts" = "conffiles control md5sums " ] ||
  fail "control files other than conffiles, control and md5sums: $scripts"
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for file in ./usr/bin/qv4720sfp ./usr/lib/zelvan-sfp/libvisa64.so ./usr/lib/zelvan-sfp/libqv4000_64.so \
    ./usr/lib/zelvan-sfp/libqv4720_64.so ./usr/lib/zelvan-sfp/libzelvan_simbench.so \
    ./usr/share/applications/$app_id.desktop ./usr/share/metainfo/$app_id.metainfo.xml \
    ./usr/share/icons/hicolor/{48x48,64x64,128x128}/apps/$app_id.png \
    ./usr/share/icons/hicolor/scalable/apps/$app_id.svg \
    ./usr/share/man/man1/qv4720sfp.1.gz ./usr/share/bash-completion/completions/qv4720sfp \
    ./usr/share/zelvan-sfp/qv4720sfp-list.schema.json \
    ./lib/systemd/system/qv4720sfp.service ./etc/default/qv4720sfp \
    ./usr/share/doc/zelvan-4720-sfp/copyright ./usr/share/doc/zelvan-4720-sfp/changelog.gz; do
  grep -qx "$file" <<< "$contents" || fail "missing $file"
done
# Nothing where the loader or a system VISA installation looks by default.
if grep -E '^\./usr/lib/[^/]+\.so|^\./usr/lib/x86_64-linux-gnu/' <<< "$contents"; then
  fail "a library outside the private folder"
fi

version=$(dpkg-deb -f "$deb" Version)
zcat "$root/usr/share/doc/zelvan-4720-sfp/changelog.gz" > "$root/changelog"
changelog_version=$(dpkg-parsechangelog -l "$root/changelog" -S Version)
release_version=$(grep -m1 -o '<release version="[^"]*"' "$metainfo" | cut -d'"' -f2)
[ "$changelog_version" = "$version" ] || fail "changelog is at $changelog_version, the package at $version"
[ "$release_version" = "$version" ] || fail "AppStream release is $release_version, the package $version"

depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libqt6gui6 libqt6core6 libqt6concurrent6 libyaml-cpp0.7 libc6 libstdc++6 \
    qt6-qpa-plugins; do
  grep -q "$package" <<< "$depends" || fail "Depends lacks $package: $depends"
done
if grep -qi -E 'visa|zelvan|qv4' <<< "$depends"; then
  fail "Depends names a private library: $depends"
fi

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
# (The copy misses its bench model beside it, so ldd reports that and fails.)
replaced=$(LD_LIBRARY_PATH="$root/real" ldd "$root/usr/bin/qv4720sfp" || true)
grep -q "libvisa64.so => $root/real/libvisa64.so" <<< "$replaced" || fail "LD_LIBRARY_PATH does not win"
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
  # Folders may stay when other packages share them; files may not.
  left=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print substr($6, 2)}' |
    while read -r file; do [ ! -e "$file" ] || echo "$file"; done)
  [ -z "$left" ] || fail "left after purge: $left"
  echo "=== purge left none of the package's files"
fi
