#!/bin/sh
# Generates a planted two-mode network with korvel-planted and times one
# random start of R's blockmodeling package on it (needs Rscript and the
# Debian package r-cran-blockmodeling):
#   bench/r_compare.sh [BUILD_DIR [UNITS [CLUSTERS [SEED]]]]
# defaults: build, 1000 units and 10 clusters on each side, seed 1.
# Prints korvel-planted's planted error, then R's wall time and final error.
set -u

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(cd "${1:-$source_dir/build}" && pwd) || exit 1
units=${2:-1000}
clusters=${3:-10}
seed=${4:-1}
planted="$build_dir/korvel-planted"
if [ ! -x "$planted" ]; then
    echo "missing $planted: configure with -DKORVEL_BENCH=ON and build korvel-planted"
    exit 1
fi
if ! command -v Rscript >/dev/null; then
    echo "missing Rscript: apt-get install r-cran-blockmodeling"
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$planted" rows="$units" cols="$units" clusters="$clusters" seed="$seed" \
    out="$work/planted.net" partition="$work/planted.zep" | grep '^planted error' || exit 1
# R's own progress lines and warnings go to stderr; only the results are kept.
Rscript "$source_dir/bench/r_compare.R" "$work/planted.net" "$clusters" "$clusters" "$seed" \
    "$work/planted.zep" 2>"$work/r.log" | grep '^R ' || { cat "$work/r.log"; exit 1; }
