#!/bin/bash
# Runs every fuzz target built in a build folder for a bounded time, one after
# the other (the machine is shared: one core for the fuzzer, one for the rest).
# Each target starts from its seeds in fuzz/corpus/ and grows its corpus in the
# build folder, so that the seeds kept in git stay small.
# usage: fuzz/run_fuzzers.sh BUILD_FOLDER SECONDS_PER_TARGET
set -u
build=$1
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
failed=0
for target in network model environment keywords partition; do
    binary="$build/${target}_fuzz"
    [ -x "$binary" ] || continue
    grown="$build/corpus/$target"
    artifacts="$build/artifacts/$target"
    mkdir -p "$grown" "$artifacts"
    dict=()
    [ -f "$here/$target.dict" ] && dict=(-dict="$here/$target.dict")
    seeds=("$here/corpus/$target")
    # Inputs of findings are replayed first, so a fault that is back shows at once.
    [ -d "$here/regressions/$target" ] && seeds+=("$here/regressions/$target")
    echo "=== $target: $seconds s"
    if ! "$binary" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -print_final_stats=1 \
            "${dict[@]}" -artifact_prefix="$artifacts/" "$grown" "${seeds[@]}" \
            > "$build/$target.log" 2>&1; then
        echo "*** $target found a fault: see $build/$target.log and $artifacts/"
        failed=1
    fi
    grep -E 'DONE +cov|stat::number_of_executed_units' "$build/$target.log" | tail -2
done
exit $failed
