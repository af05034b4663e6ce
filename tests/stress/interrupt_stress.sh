#!/bin/bash
# Kills and Ctrl-Cs at random moments of a scripted series that saves every
# clustering on two threads, half of them near its end; after each run, every
# file the run writes must be whole. Not part of ctest: it takes a few minutes.
#
#   tests/stress/interrupt_stress.sh [path/to/korvel] [runs of each kind]
#
# After each run: the environment file is the old one or the new one (15
# lines); the JSON file parses; the picture is well-formed XML; the partition
# file and the .clu files hold only whole clusterings; no other file (a
# temporary one) is left in the folder. After a Ctrl-C that ended the run with
# exit code 130, the run's work is all there: the environment saved, the JSON
# of this run, the listing ending with the report, and as many clusterings
# saved as the report counts.
set -u
# Job control: a background job keeps the default action of SIGINT, as a
# program started from a terminal does.
set -m

here=$(cd "$(dirname "$0")/../.." && pwd)
korvel=$(realpath "${1:-$here/build/korvel}")
runs=${2:-30}
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp "$here"/examples/* "$folder"/
cd "$folder" || exit 1
cp Tebra.ENV .env.old

run_series() {  # seed
    "$korvel" net=davis.net mdl=null-complete.mdl rows=3 cols=3 reps=2000 save=3 threads=2 seed="$1" \
        > .console 2>&1 &
}

# The environment file a whole run leaves, and how long a run takes.
start=$(date +%s%N)
run_series 1
wait $!
duration=$(( ($(date +%s%N) - start) / 1000 ))  # microseconds
cp Tebra.ENV .env.new
echo "a whole run takes $((duration / 1000)) ms"

# Checks the folder after a run; prints one line per fault. Arguments: the
# outcome of the run and its seed.
cat > .check.py <<'EOF'
import json, os, re, sys
import xml.etree.ElementTree as ElementTree

outcome, seed = sys.argv[1], sys.argv[2]
units, rows, cols = 32, 18, 14
faults = []

def read(name):
    with open(name, 'rb') as f:
        return f.read()

env_lines = read('.env.old').split(b'\r\n')
lst, zep = env_lines[5].decode(), env_lines[6].decode()  # listing and partition file
base = lst.rsplit('.', 1)[0]
expected = {'README.md', 'Tebra.ENV', 'davis.net', 'karate.net', 'null-complete.mdl',
            'null-complete-regular.mdl', lst, zep, base + '.json', base + '.svg', base + '.clu',
            base + '-rows.clu', base + '-cols.clu', '.console', '.env.old', '.env.new', '.check.py'}

env = read('Tebra.ENV')
if env not in (read('.env.old'), read('.env.new')):
    faults.append('environment file neither old nor new')
if env.count(b'\r\n') != 15 or not env.endswith(b'\r\n'):
    faults.append('environment file not 15 lines')
if os.path.exists(base + '.json'):
    try:
        result = json.loads(read(base + '.json'))
    except ValueError:
        faults.append(base + '.json does not parse')
        result = None
if os.path.exists(base + '.svg'):
    try:
        ElementTree.parse(base + '.svg')
    except ElementTree.ParseError:
        faults.append(base + '.svg is not well formed')

def whole_clu(name, n):
    if not os.path.exists(name):
        return
    lines = read(name).split(b'\r\n')
    if not (lines[-1] == b'' and lines[0] == b'*Vertices %d' % n and len(lines) == n + 2
            and all(re.fullmatch(rb' *[0-9]+', line) for line in lines[1:-1])):
        faults.append(name + ' is not whole')

for name, n in ((base + '.clu', units), (base + '-rows.clu', rows), (base + '-cols.clu', cols)):
    whole_clu(name, n)

saved = 0
if os.path.exists(zep):
    lines = read(zep).split(b'\r\n')
    size = 2 + rows + cols
    whole = lines[-1] == b'' and (len(lines) - 1) % size == 0
    for at in range(0, len(lines) - 1, size) if whole else ():
        whole = whole and lines[at].startswith(b'*partition  KORVEL: 3/3 [') and \
            lines[at + 1].split() == [b'*vertices', b'32', b'18', b'14'] and \
            all(re.fullmatch(rb' *[0-9]+', line) for line in lines[at + 2:at + size])
    if not whole:
        faults.append(zep + ' holds a cut clustering')
    saved = (len(lines) - 1) // size

# Removed once seen, so that each run is judged on what it leaves.
for name in os.listdir('.'):
    if name not in expected:
        faults.append('file left behind: ' + name)
        os.remove(name)

# Exit code 130 promises the run's work: all of it written.
if outcome.endswith('exit 130'):
    if env != read('.env.new'):
        faults.append('environment not saved')
    if not os.path.exists(base + '.json') or b'"seed": %s\r\n' % seed.encode() not in read(base + '.json'):
        faults.append(base + '.json is not of this run')
    listing = read(lst)
    counted = re.findall(rb' NUMBER OF CLUSTERINGS = +([0-9]+)\r\n', listing)
    if not counted or int(counted[-1]) != saved:
        faults.append('the report counts %s clusterings, %d saved' % (counted[-1:], saved))
    if not re.search(rb'\r\nfinal error = +[0-9.]+\r\n\Z', listing):
        faults.append(lst + ' does not end with the report')

for fault in faults:
    print(fault)
EOF

# A pause without starting a process, which takes milliseconds: a read
# that times out on a pipe nobody writes to.
exec 9<> <(:)
failures=0
declare -A outcomes
for kind in KILL INT; do
    for n in $(seq 1 "$runs"); do
        seed=$((n + 100))
        cp .env.old Tebra.ENV
        run_series $seed
        pid=$!
        if [ $((n % 2)) = 1 ]; then
            delay_us=$(( (RANDOM * 32768 + RANDOM) % (duration * 11 / 10) ))
        else
            # Every other run aims at the end, where the report and the files
            # are written: up to 20 ms after the last but one progress mark (100
            # repetitions before the end).
            until grep -q "  1901>" .console || ! kill -0 $pid 2>/dev/null; do :; done
            delay_us=$(( RANDOM % 20000 ))
        fi
        printf -v delay '%d.%06d' $((delay_us / 1000000)) $((delay_us % 1000000))
        read -r -t "$delay" -u 9
        kill -s "$kind" $pid 2>/dev/null
        { wait $pid; } 2>/dev/null
        status=$?
        # bash gives 130 for both an exit with code 130 and a death by SIGINT:
        # only the first writes the end line.
        faults=""
        case $status in
            0) outcome="ended before the signal" ;;
            137) outcome="killed" ;;
            130)
                if ! grep -q "K O R V E L - end" .console; then
                    outcome="ended by Ctrl-C, default action"
                    # Only before the series began does Ctrl-C take the default action.
                    grep -q "      1>" .console && faults="Ctrl-C took the default action after the series began"
                elif grep -q "^Interrupted: " .console; then
                    outcome="series interrupted, exit 130"
                else
                    outcome="held in the writes, exit 130"
                fi
                ;;
            *) outcome="status $status"; faults="unexpected exit status" ;;
        esac
        outcomes["$kind: $outcome"]=$((${outcomes["$kind: $outcome"]:-0} + 1))
        faults=$(printf '%s\n%s' "$faults" "$(python3 .check.py "$outcome" $seed)" | sed '/^$/d')
        if [ -n "$faults" ]; then
            failures=$((failures + 1))
            echo "run $kind $n (seed $seed, after ${delay}s, $outcome):"
            echo "$faults" | sed 's/^/  /'
        fi
    done
done

for outcome in "${!outcomes[@]}"; do echo "$outcome: ${outcomes[$outcome]}"; done | sort
echo "runs with faults: $failures of $((2 * runs))"
[ $failures = 0 ]
