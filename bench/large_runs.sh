#!/bin/sh
# Whole runs on planted-partition networks far beyond 250 units a side: for
# each, the wall time, the peak memory and the best error of the series
# beside the planted partition's error. Null and complete blocks
# everywhere, a fixed seed, every core. Takes several minutes.
#   bench/large_runs.sh [BUILD_DIR] [REPS]    (defaults: build, 10)
set -u

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(cd "${1:-$source_dir/build}" && pwd) || exit 1
reps=${2:-10}
for program in "$build_dir/korvel-planted" "$build_dir/korvel"; do
    if [ ! -x "$program" ]; then
        echo "missing $program: configure with -DKORVEL_BENCH=ON and build korvel and korvel-planted"
        exit 1
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

# run NAME CLUSTERS COLCLUSTERS OPTIONS GENERATOR-ARGUMENTS...: OPTIONS are
# more arguments of the program ("-" for none).
run() {
    name=$1 clusters=$2 colclusters=$3 options=$4
    shift 4
    [ "$options" = - ] && options=""
    "$build_dir/korvel-planted" "$@" out="$name.net" partition="$name.zep" > "$name.out" || exit 1
    planted=$(sed -n 's/^planted error = //p' "$name.out")
    size=$(( clusters > colclusters ? clusters : colclusters ))
    printf 'null and complete\n%d %d\n 0 3 1 0 1\n' "$size" "$size" > "$name.mdl"
    /usr/bin/time -f '%e %M' -o "$name.time" "$build_dir/korvel" net="$name.net" mdl="$name.mdl" \
        lst="$name.lst" rows="$clusters" cols="$colclusters" reps="$reps" seed=1 threads=0 $options \
        < /dev/null > "$name.console" 2>&1 || echo "$name: the run ended with $?"
    best=$(tr -d '\r' < "$name.lst" | awk '/^P = / { print $3; exit }')
    read -r seconds kilobytes < "$name.time"
    printf '%-28s %3d reps %8.1f s %6d MB  best %s  planted %s\n' "$name" "$reps" "$seconds" \
        $((kilobytes / 1024)) "$best" "$planted"
}

run one-mode-5000-20 20 20 - rows=5000 clusters=20 inside=0.6 outside=0.01 seed=1
run one-mode-5000-20-onemode 20 20 onemode=1 rows=5000 clusters=20 inside=0.6 outside=0.01 seed=1
run two-mode-4000x2000-10x10 10 10 - rows=4000 cols=2000 clusters=10 colclusters=10 inside=0.6 outside=0.01 seed=1
run two-mode-1000x1000-10x10 10 10 - rows=1000 cols=1000 clusters=10 colclusters=10 inside=0.6 outside=0.01 seed=1
