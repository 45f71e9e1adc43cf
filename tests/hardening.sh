#!/usr/bin/env bash
# Checks a built program's hardening: PIE, full RELRO, a non-executable stack,
# the C library as its only dependency (with the dynamic loader, where that is
# what exports the stack protector's guard), and its dynamic imports.
# Usage: hardening.sh READELF PROGRAM [+SYMBOL | -SYMBOL]...
#   +SYMBOL must be imported (a fortified formatter, say); -SYMBOL must not be.
set -euo pipefail
# readelf's words are matched below: untranslated, whatever LANGUAGE says.
export LC_ALL=C

readelf=$1
program=$2
shift 2

status=0
fail() {
	echo "$(basename "$program"): $*" >&2
	status=1
}

headers=$("$readelf" --file-header --program-headers --wide "$program")
dynamic=$("$readelf" --dynamic --wide "$program")
# The name follows the section index, whatever fields come between
# (ppc64el adds a [<localentry>: 8] one).
imports=$("$readelf" --dyn-syms --wide "$program" |
	awk '{ for (i = 7; i < NF; i++) if ($i == "UND") { sub(/@.*/, "", $(i + 1)); print $(i + 1) } }')

grep -q 'Type: *DYN' <<<"$headers" && grep -q 'FLAGS_1).*PIE' <<<"$dynamic" ||
	fail "not a position-independent executable"
grep -q 'GNU_RELRO' <<<"$headers" || fail "no RELRO segment"
grep -qE '\(FLAGS\).*BIND_NOW|\(BIND_NOW\)' <<<"$dynamic" || fail "lazy binding: not BIND_NOW"
stack=$(awk '$1 == "GNU_STACK" { print $7 }' <<<"$headers")
[[ $stack == RW ]] || fail "stack flags are '${stack:-missing}', not RW"

needed=$(sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' <<<"$dynamic" | paste -sd ' ')
# The C library's soname is the target's: libc.so.6, or libc.so.6.1 on alpha.
allowed='libc\.so\.[0-9.]+'
if grep -qx __stack_chk_guard <<<"$imports"; then
	loader=$(sed -n 's/.*Requesting program interpreter: \(.*\)\]/\1/p' <<<"$headers")
	loader=${loader##*/}
	allowed="$allowed ${loader//./\\.}"
fi
[[ $needed =~ ^$allowed$ ]] || fail "needs '$needed', not only the C library"

for expectation in "$@"; do
	symbol=${expectation:1}
	case $expectation in
	+*) grep -qx "$symbol" <<<"$imports" || fail "does not import $symbol" ;;
	-*) ! grep -qx "$symbol" <<<"$imports" || fail "imports $symbol" ;;
	*) fail "expectation '$expectation' is neither +SYMBOL nor -SYMBOL" ;;
	esac
done

exit "$status"
