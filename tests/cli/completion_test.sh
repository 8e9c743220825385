#!/usr/bin/env bash
# The bash completion against a hostile descriptor file: every offered word,
# read back by the shell, is exactly one remembered descriptor of the 4720,
# and nothing in the file runs. bash-completion's helpers are stood in for.
set -u
script=$1 data=$2
work=$(mktemp -d) && cd "$work" || exit 1
trap 'rm -rf "$work"' EXIT
mkdir -p profile/Quorvel && cp "$data/DefaultInstrDescr.ini" profile/Quorvel/
export ALLUSERSPROFILE=$work/profile XDG_CONFIG_HOME=/nonexistent
_init_completion() { words=("${COMP_WORDS[@]}") cword=$COMP_CWORD
    cur=${words[cword]} prev=${words[cword - 1]}; }
compopt() { :; }
_filedir() { :; }
# shellcheck source=/dev/null
source "$script"
failures=0

# complete WORDS...: COMPREPLY for the last word, one per line.
complete_words() {
    COMP_WORDS=(qv4720sfp "$@") COMP_CWORD=$# COMPREPLY=()
    _qv4720sfp
    printf '%s\n' "${COMPREPLY[@]}"
}
expect() {
    local what=$1 got=$2 want=$3
    [[ $got == "$want" ]] && return
    printf 'FAIL %s\n  got:  %q\n  want: %q\n' "$what" "$got" "$want"
    failures=$((failures + 1))
}

# Unquoted typing: the shell reads each word back as the descriptor.
read_back=
while IFS= read -r word; do
    eval "value=$word" && read_back+=$value$'\n'
done < <(complete_words -r '')
expect "descriptors of this model, read back" "$read_back" \
'$(touch ran)
TCPIP0::my host::INSTR
~root::INSTR
it'"'"'s "q" $HOME, `touch ran`
back\slash
'
expect "nothing ran" "$(ls)" "profile"

# Readline replaces only what follows the last colon or '='.
expect "--opt=value, after a colon" "$(complete_words --resource=TCPIP0::my)" 'my\ host::INSTR'
expect "quoted typing keeps its quotes" "$(complete_words -r "'~")" "'~root::INSTR'"
expect "after --list only what goes with it" "$(complete_words --list -)" $'--json\n--bench'
expect "--fc=" "$(complete_words --fc=8)" "8"

ALLUSERSPROFILE=profile
expect "a relative folder is ignored" "$(complete_words -r '')" ""
exit $((failures > 0))
