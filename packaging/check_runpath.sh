#!/usr/bin/env bash
# Checks the dynamic sections of every ELF executable and shared library under
# the given folders (a build tree or an unpacked package):
#  - no DT_RPATH, which the loader would search before LD_LIBRARY_PATH;
#  - no empty RUNPATH entry (the loader reads it as the current folder), no
#    relative one (resolved against the current folder too), none naming a
#    missing folder, a world-writable one, or one below a world-writable
#    folder without the sticky bit: anyone able to write there chooses the
#    code the program runs.
# $ORIGIN stands for the folder of the file. CMake's own folders are skipped.
# Exit status 0 when every file passes; each fault is printed.
#   check_runpath.sh FOLDER...
set -euo pipefail
[ $# -gt 0 ] || {
  echo "usage: $0 FOLDER..." >&2
  exit 2
}

faults=0
checked=0
declare -A unsafe # folder -> the world-writable folder that makes it unsafe, or ""
fault() {
  echo "runpath: $1: $2" >&2
  faults=$((faults + 1))
}

is_elf() {
  local magic
  LC_ALL=C read -r -n 4 magic < "$1" 2> /dev/null || true
  [ "$magic" = $'\x7fELF' ]
}

# Prints the first folder at or above $1 that others may write into, if any.
unsafe_folder() {
  local dir=$1 mode
  while :; do
    mode=$(stat -Lc %a "${dir:-/}")
    # World-writable: fatal at the entry itself, and above it unless sticky.
    if ((8#$mode & 8#002)) && { [ "$dir" = "$1" ] || ! ((8#$mode & 8#1000)); }; then
      echo "${dir:-/}"
      return
    fi
    [ -z "$dir" ] && return
    dir=${dir%/*}
  done
}

check_entry() {
  local file=$1 entry=$2 dir
  case $entry in
    '') fault "$file" "empty RUNPATH entry" && return ;;
    '$ORIGIN'*) dir=${file%/*}${entry#'$ORIGIN'} ;;
    '${ORIGIN}'*) dir=${file%/*}${entry#'${ORIGIN}'} ;;
    /*) dir=$entry ;;
    *) fault "$file" "relative RUNPATH entry '$entry'" && return ;;
  esac
  if [ ! -d "$dir" ]; then
    fault "$file" "RUNPATH entry '$entry' names no folder"
    return
  fi
  dir=$(realpath "$dir")
  # Many files share a folder: look at each folder once.
  [ -n "${unsafe[$dir]+seen}" ] || unsafe[$dir]=$(unsafe_folder "$dir")
  [ -z "${unsafe[$dir]}" ] || fault "$file" "RUNPATH entry '$entry': ${unsafe[$dir]} is world-writable"
}

check_file() {
  local file=$1 dynamic runpath
  dynamic=$(readelf -d "$file" 2>/dev/null) || return 0
  checked=$((checked + 1))
  if [[ $dynamic == *'(RPATH)'* ]]; then
    fault "$file" "DT_RPATH set; it would take precedence over LD_LIBRARY_PATH"
  fi
  [[ $dynamic =~ \(RUNPATH\)[^[]*\[([^]]*)\] ]] || return 0
  runpath=${BASH_REMATCH[1]}
  local entries
  IFS=: read -r -a entries <<< "$runpath:"
  # read drops one trailing empty field, the one the added ':' made.
  for entry in "${entries[@]}"; do check_entry "$file" "$entry"; done
}

for root in "$@"; do
  while IFS= read -r -d '' file; do
    is_elf "$file" && check_file "$file"
  done < <(find "$root" -name CMakeFiles -prune -o -type f \
    \( -perm -u+x -o -name '*.so' -o -name '*.so.*' \) -print0)
done

echo "runpath: $checked ELF files checked, $faults faults"
[ "$checked" -gt 0 ] && [ "$faults" -eq 0 ]
