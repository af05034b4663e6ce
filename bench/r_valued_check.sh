#!/bin/sh
# Compares korvel's valued criteria (criterion=ss, ad, val) with R's
# blockmodeling package used as a black box (needs Rscript and the Debian
# package r-cran-blockmodeling):
#   bench/r_valued_check.sh [BUILD_DIR [CASES [REPS]]]
# defaults: build, 60 random matrices, 300 repetitions. Prints the largest
# relative difference of the errors of given partitions (any above 1e-9 is
# named), then korvel's best of REPS repetitions beside R's best of REPS
# starts on a few networks.
set -u

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(cd "${1:-$source_dir/build}" && pwd) || exit 1
cases=${2:-60}
reps=${3:-300}
# The real valued files: dolphins_w.net, ussr_jaccard_realweights_loops.net, gang.net.
data_dir=${KORVEL_REAL_DATA:-/work/shared/data/real}
if [ ! -x "$build_dir/korvel" ]; then
    echo "missing $build_dir/korvel: build it first (make build)"
    exit 1
fi
if ! command -v Rscript >/dev/null; then
    echo "missing Rscript: apt-get install r-cran-blockmodeling"
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# R's own progress lines and warnings are left out: only the results are kept.
Rscript "$source_dir/bench/r_valued_check.R" "$build_dir/korvel" "$data_dir" "$work" "$cases" "$reps" \
    >"$work/r.out" 2>"$work/r.log" || { cat "$work/r.out" "$work/r.log"; exit 1; }
grep -E '^(partitions|best of|DIFFERENT)' "$work/r.out"
