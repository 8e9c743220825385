#!/usr/bin/env bash
# runpath_test.sh CHECKER BUILD_TREE PANEL C_COMPILER
# The check rejects each kind of unsafe run path; every ELF file of the build
# tree passes it; and the panel started from a folder holding libraries of the
# stand-ins' and the toolkit's names still loads the stand-ins and the
# system's toolkit.
set -euo pipefail
checker=$1 tree=$2 panel=$3 cc=$4

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo 'int main(void) { return 0; }' > "$work/main.c"
mkdir -m 0777 "$work/open"
mkdir "$work/open/inner" "$work/lib"
expect() { # expect pass|fail LINKER_OPTION...
  local want=$1 got=pass
  shift
  rm -rf "$work/probe" && mkdir "$work/probe"
  "$cc" -o "$work/probe/probe" "$work/main.c" "$@"
  "$checker" "$work/probe" > /dev/null 2>&1 || got=fail
  [ "$got" = "$want" ] || {
    echo "run-path check: $want expected, $got with $*" >&2
    exit 1
  }
}
expect pass '-Wl,--enable-new-dtags,-rpath,$ORIGIN/../lib'
expect pass "-Wl,--enable-new-dtags,-rpath,$work/lib"
expect fail "-Wl,--enable-new-dtags,-rpath,$work/lib:"
expect fail '-Wl,--enable-new-dtags,-rpath,../lib'
expect fail "-Wl,--enable-new-dtags,-rpath,$work/open"
expect fail "-Wl,--enable-new-dtags,-rpath,$work/open/inner"
expect fail "-Wl,--enable-new-dtags,-rpath,$work/missing"
expect fail "-Wl,--disable-new-dtags,-rpath,$work/lib"

"$checker" "$tree"

decoys=$work/decoys
mkdir "$decoys"
for lib in libvisa64.so libqv4000_64.so libqv4720_64.so libzelvan_simbench.so libQt6Core.so.6; do
  cp /bin/true "$decoys/$lib"
done
resolved=$(cd "$decoys" && env -u LD_LIBRARY_PATH ldd "$panel")
if grep "$decoys" <<< "$resolved"; then
  echo "the panel loads libraries from the folder it was started in" >&2
  exit 1
fi
private=$(dirname "$panel")/../lib/zelvan-sfp
for lib in libvisa64.so libqv4000_64.so libqv4720_64.so; do
  grep -q "$lib => $private/$lib" <<< "$resolved" || {
    echo "$lib is not taken from $private:" >&2
    echo "$resolved" >&2
    exit 1
  }
done
echo "the panel ignores libraries in its start folder"
