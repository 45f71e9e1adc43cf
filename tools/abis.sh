# shellcheck shell=bash
# Sourced, from the top of the tree, by tools/presets, tools/matrix,
# tools/debian13 (here and in its root) and .ci/run, so that all of them read
# cmake/abis.txt, cmake/defects.txt and .ci/packages alike, name each ABI's
# presets alike and install alike.

# Prints the lines of a table file, without its comments and blank lines.
table() { grep -v '^#' "$1" | grep .; }

# Prints, one a line, the Debian packages of the named groups of .ci/packages
# (commands, gates, package), or of every group.
# Usage: ci_packages [GROUP...]
ci_packages() {
	local groups="$*"
	sed 's/#.*//' .ci/packages | awk -v groups=" $groups " '
		NF && (groups == "  " || index(groups, " " substr($1, 1, length($1) - 1) " ")) {
			for (i = 2; i <= NF; i++) print $i
		}'
}

# Installs those of the packages that are not installed; with --update,
# reads the package lists first where there is anything to do. An install
# that a stopped run left half-done (a machine shut down mid-run) is
# finished first, since apt refuses every install until dpkg has done so.
# Usage: install_missing [--update] PACKAGE...
install_missing() {
	local update=false interrupted=false package missing=()
	local -x DEBIAN_FRONTEND=noninteractive
	[[ ${1:-} == --update ]] && update=true && shift
	[[ -n $(ls /var/lib/dpkg/updates) || -n $(dpkg --audit) ]] && interrupted=true
	for package; do
		dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q '^install ok installed$' ||
			missing+=("$package")
	done
	$interrupted || ((${#missing[@]} > 0)) || return 0
	$update && apt-get update -qq
	if $interrupted; then
		echo "finishing an install that was stopped half-way"
		dpkg --configure -a
		apt-get install -f -y -qq --no-install-recommends >/dev/null
	fi
	if ((${#missing[@]} > 0)); then
		echo "installing ${missing[*]}"
		apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
	fi
}

# Prints this machine's Debian architecture, which is its line's abi in cmake/abis.txt.
build_abi() { dpkg --print-architecture; }

# Succeeds where this release's archive has PACKAGE, installed or not. Dies
# where apt knows no package at all, for then it could not tell.
in_archive() {
	if ! apt-cache show --no-all-versions dpkg >/dev/null 2>&1; then
		echo "apt knows no package here: run apt-get update first" >&2
		exit 2
	fi
	local candidate
	candidate=$(apt-cache policy "$1" 2>/dev/null | sed -n 's/^ *Candidate: //p')
	[[ -n $candidate && $candidate != "(none)" ]]
}

# Prints the package of the cross compiler GXX (g++, g++-13) for TRIPLE:
# g++-<triple>, with the underscores that package names cannot hold as dashes.
# Usage: cross_package GXX TRIPLE
cross_package() { echo "$1-${2//_/-}"; }

# Prints the configure preset that builds ABI with COMPILER (g++ or clang++):
# the native ci-gcc or ci-clang for this machine's own ABI, else cross-<abi>
# or cross-<abi>-clang.
# Usage: preset_for ABI COMPILER
preset_for() {
	local abi=$1 compiler=$2
	if [[ $abi == "$(build_abi)" ]]; then
		if [[ $compiler == clang++ ]]; then echo ci-clang; else echo ci-gcc; fi
	elif [[ $compiler == clang++ ]]; then
		echo "cross-$abi-clang"
	else
		echo "cross-$abi"
	fi
}

# Prints, one a line, the packages that tools/matrix needs on this machine
# for the named ABIs (default: every one) with the compilers GXX and CLANGXX
# (g++ and clang++, or other versions such as g++-13 and clang++-16): those
# compilers, GoogleTest's sources, qemu-user, the cross g++ of every other
# ABI that this release's archive has, and the 32-bit runtime with which an
# x86-64 kernel runs i386 programs itself, where the archive has it.
# Usage: matrix_packages GXX CLANGXX [ABI...]
matrix_packages() {
	local gxx=$1 clangxx=$2 native abi triple package
	shift 2
	native=$(build_abi)
	printf '%s\n' "$gxx" "${clangxx//++/}" googletest qemu-user
	while read -r abi _ _ triple _; do
		[[ $abi == "$native" ]] && continue
		(($# == 0)) || [[ " $* " == *" $abi "* ]] || continue
		package=$(cross_package "$gxx" "$triple")
		in_archive "$package" && echo "$package"
	done < <(table cmake/abis.txt)
	for package in libc6-i386 lib32stdc++6; do
		in_archive "$package" && echo "$package"
	done
	return 0
}

# Fills defect_stage, defect_text and defect_reason from cmake/defects.txt,
# each keyed by "ABI/TOOL VERSION" (m68k/clang++ 14, say).
# shellcheck disable=SC2034 # read by tools/matrix, which sources this file
declare -A defect_stage=() defect_text=() defect_reason=()
# shellcheck disable=SC2034
load_defects() {
	local abi tool stage text reason key
	trim() { sed 's/^ *//; s/ *$//' <<<"$1"; }
	while IFS='|' read -r abi tool stage text reason; do
		key="$(trim "$abi")/$(trim "$tool")"
		defect_stage[$key]=$(trim "$stage")
		defect_text[$key]=$(trim "$text")
		defect_reason[$key]=$(trim "$reason")
	done < <(table cmake/defects.txt)
}
