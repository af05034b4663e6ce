#!/bin/sh
# Checks korvel-planted against the program: for small planted networks the
# "planted error" it prints must be the initial error the program lists when
# it starts from the written partition file, with null and complete allowed
# in every block. Also checks that the same arguments give the same bytes,
# that the clusters have the sizes asked for in a shuffled order, that a
# one-mode network has no loops, and that a network larger than the program
# reads today recounts to its planted error. Run by hand after building both
# targets (make bench builds them):
#   bench/check_planted.sh [BUILD_DIR]      (default: build)
set -u

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(cd "${1:-$source_dir/build}" && pwd) || exit 1
planted="$build_dir/korvel-planted"
korvel="$build_dir/korvel"
for program in "$planted" "$korvel"; do
    if [ ! -x "$program" ]; then
        echo "missing $program: configure with -DKORVEL_BENCH=ON and build korvel and korvel-planted"
        exit 1
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$source_dir/examples/null-complete.mdl" "$work/"
cd "$work" || exit 1
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# The planted error korvel-planted printed for NAME.
planted_error() {
    sed -n 's/^planted error = //p' "$1.out"
}

# generate NAME ARGUMENTS...: writes NAME.net, NAME.zep and NAME.out.
generate() {
    name=$1
    shift
    "$planted" "$@" out="$name.net" partition="$name.zep" > "$name.out" ||
        fail "korvel-planted $* ended with $?"
}

# compare_with_program NAME [onemode=1]: the program's initial error from
# NAME.zep must equal the planted error.
compare_with_program() {
    name=$1
    shift
    label="$name${1+ $*}"
    rm -f "$name.lst"
    "$korvel" net="$name.net" mdl=null-complete.mdl run=1 zep="$name.zep" lst="$name.lst" "$@" \
        < /dev/null > "$name.console" 2>&1 || fail "korvel on $label ended with $?"
    listed=$(tr -d '\r' < "$name.lst" | awk '/initial error =/ { print $NF; exit }')
    expected="$(planted_error "$name").000"
    if [ "$listed" = "$expected" ]; then
        echo "ok: $label: planted error $expected, the program's initial error $listed"
    else
        fail "$label: planted error $expected, the program's initial error '$listed'"
    fi
}

# check_sizes NAME SIDE FIRST COUNT SIZES: the units of side SIDE (rows or
# cols) of NAME.zep, COUNT lines from line FIRST, fall in clusters of the
# SIZES listed (by cluster number, in order), and not in cluster order.
check_sizes() {
    found=$(sed -n "$3,$(($3 + $4 - 1))p" "$1.zep" | tr -d '\r' |
        awk '{ n[$1]++; if ($1 < last) shuffled = 1; last = $1; if ($1 > k) k = $1 }
             END { for (c = 1; c <= k; c++) if (n[c]) printf "%d ", n[c]; print (shuffled ? "shuffled" : "in order") }')
    if [ "$found" = "${5}shuffled" ]; then
        echo "ok: $1 $2: clusters of $5in shuffled order"
    else
        fail "$1 $2: expected clusters of $5in shuffled order, found $found"
    fi
}

# Two-mode, 60 x 40 units, 3 x 2 clusters: diagonal blocks (1, 1) and
# (2, 2) dense enough to be complete, the others null.
generate two rows=60 cols=40 clusters=3 colclusters=2 seed=7
compare_with_program two
check_sizes two rows 3 60 "20 20 20 "
check_sizes two cols 63 40 "20 20 "

# One-mode, 50 units in clusters of 17, 17 and 16: the diagonal blocks are
# complete, so the diagonal cells they count decide the error. Read as one
# partition and as two equal ones.
generate one rows=50 clusters=3 inside=0.7 outside=0.05 seed=3
compare_with_program one
compare_with_program one onemode=1
check_sizes one rows 3 50 "17 17 16 "
if tr -d '\r' < one.net | awk 'NR > 2 && $1 == $2 { found = 1 } END { exit !found }'; then
    fail "one.net holds a loop"
else
    echo "ok: one.net holds no loop"
fi

# A network of several buffers' worth (3 MB) against its partition file,
# counted again here: every line a tie of the ranges, in order, and the
# planted error from the blocks' ties and sizes.
generate large rows=2000 cols=1000 clusters=5 colclusters=4 inside=0.5 outside=0.05 seed=11
tr -d '\r' < large.zep > large.zep.txt
tr -d '\r' < large.net > large.net.txt
recounted=$(awk '
    FNR == NR { if (FNR == 2) { rows = $3; cols = $4 }
                else if (FNR > 2 && FNR <= rows + 2) { row[FNR - 2] = $1; if ($1 > k) k = $1; size[$1]++ }
                else if (FNR > rows + 2) { col[FNR - rows - 2] = $1; size[$1]++ }
                next }
    FNR == 1 { if ($0 != "*Vertices " rows + cols " " rows) bad = bad " counts line" ; next }
    FNR == 2 { if ($0 != "*Arcs") bad = bad " keyword line"; next }
    { i = $1; j = $2 - rows
      if (NF != 2 || i < 1 || i > rows || j < 1 || j > cols) bad = bad " line " FNR
      if (i < li || (i == li && j <= lj)) bad = bad " order at " FNR
      li = i; lj = j; ties[row[i], col[j]]++ }
    END { for (r = 1; r <= k; r++) for (c = k + 1; c in size; c++) {
              t = ties[r, c] + 0; cells = size[r] * size[c]
              error += t < cells - t ? t : cells - t }
          print (bad == "" ? error : "bad" bad) }' large.zep.txt large.net.txt)
if [ "$recounted" = "$(planted_error large)" ]; then
    echo "ok: large: the file recounted gives the planted error $recounted"
else
    fail "large: planted error $(planted_error large), the file recounted gives $recounted"
fi

# The same arguments give the same bytes; another seed gives others.
generate again rows=50 clusters=3 inside=0.7 outside=0.05 seed=3
if cmp -s one.net again.net && cmp -s one.zep again.zep; then
    echo "ok: the same arguments wrote the same files"
else
    fail "the same arguments wrote different files"
fi
generate other rows=50 clusters=3 inside=0.7 outside=0.05 seed=4
if cmp -s one.net other.net || cmp -s one.zep other.zep; then
    fail "another seed wrote the same file"
else
    echo "ok: another seed wrote other files"
fi

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
