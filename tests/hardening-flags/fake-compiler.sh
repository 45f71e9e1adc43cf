#!/usr/bin/env bash
# Stands in for a compiler asked about a hardening flag: does to the flag
# what FAKE_COMPILER says, and writes "assembly" that shows it.
#   ignores   takes every flag without a word, and it changes nothing
#   warns     compiles, but says that the flag is not supported
#   honours   compiles each flag into the code, the protector with its check
#   hollow    as honours, but the protector with no check behind it
set -euo pipefail

flag=""
for arg; do
	case $arg in
	-fPIE) ;;
	-f* | -m*) flag=$arg ;;
	esac
done

case $FAKE_COMPILER in
ignores) echo "probe: ret" ;;
warns)
	echo "warning: '$flag' is not supported for this target" >&2
	echo "probe: ret"
	;;
honours | hollow)
	echo "probe: $flag"
	if [[ $FAKE_COMPILER == honours && $flag == -fstack-protector* ]]; then
		echo "	call __stack_chk_fail"
	fi
	;;
*) exit 2 ;;
esac
