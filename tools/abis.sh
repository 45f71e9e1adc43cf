# Sourced, from the top of the tree, by tools/presets, tools/matrix,
# tools/debian13 and .ci/run, so that all of them read cmake/abis.txt,
# cmake/defects.txt and .ci/packages alike, and name each ABI's presets alike.

# Prints the lines of a table file, without its comments and blank lines.
table() { grep -v '^#' "$1" | grep .; }

# Prints the Debian packages that .ci/packages lists, one a line.
ci_packages() { sed 's/#.*//' .ci/packages | tr -s ' \t' '\n' | grep .; }

# Succeeds for the build machine's own triple: the native presets build it.
native_triple() { [[ ${1%%-*} == "$(uname -m)" ]]; }

# Prints the configure preset that builds ABI, whose triple is TRIPLE, with COMPILER.
# Usage: preset_for ABI TRIPLE COMPILER
preset_for() {
	local abi=$1 triple=$2 compiler=$3
	if native_triple "$triple"; then
		if [[ $compiler == clang++ ]]; then echo ci-clang; else echo ci-gcc; fi
	elif [[ $compiler == clang++ ]]; then
		echo "cross-$abi-clang"
	else
		echo "cross-$abi"
	fi
}

# Fills defect_stage, defect_text and defect_reason from cmake/defects.txt,
# each keyed by ABI/COMPILER.
declare -A defect_stage=() defect_text=() defect_reason=()
load_defects() {
	local abi compiler stage text reason
	trim() { sed 's/^ *//; s/ *$//' <<<"$1"; }
	while IFS='|' read -r abi compiler stage text reason; do
		local key
		key="$(trim "$abi")/$(trim "$compiler")"
		defect_stage[$key]=$(trim "$stage")
		defect_text[$key]=$(trim "$text")
		defect_reason[$key]=$(trim "$reason")
	done < <(table cmake/defects.txt)
}
