#!/usr/bin/env bash
# Copy benchmark: the shell copy (through bench/copydriver, with its real dialogs, offscreen)
# against cp -r in the same run, on one 1 GiB file and on a tree of 10,000 small files, with a
# warm page cache and, when caches can be dropped (root), a cold one. Runs alternate between the
# two copiers; each figure is the median of the runs. The ratio is cp's time over ours, i.e.
# our throughput as a share of cp's (1.00 = as fast, higher = faster).
#
# usage: bench/copy.sh [-n RUNS] [-d WORKDIR] [--no-build]
#   -n RUNS      measured runs per copier and case (default 5)
#   -d WORKDIR   where the data and copies go (default /var/tmp/copybench; needs ~3 GiB)
#   --no-build   use what is already in the build directory ($BUILD_DIR or build/)
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
runs=5 work=/var/tmp/copybench do_build=1
usage() {
    echo "usage: bench/copy.sh [-n RUNS] [-d WORKDIR] [--no-build]" >&2
    exit 2
}
while [ $# -gt 0 ]; do
    case $1 in
        -n) [ $# -ge 2 ] || usage; runs=$2; shift 2 ;;
        -d) [ $# -ge 2 ] || usage; work=$2; shift 2 ;;
        --no-build) do_build=0; shift ;;
        *) usage ;;
    esac
done
[[ $runs =~ ^[1-9][0-9]*$ ]] || usage

if [ $do_build -eq 1 ]; then
    cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" --parallel 2 --target copydriver >&2
fi
driver=$build/bench/copydriver
[ -x "$driver" ] || { echo "bench/copy.sh: $driver is missing" >&2; exit 1; }
export QT_QPA_PLATFORM=offscreen

mkdir -p "$work"
cd "$work"
if [ ! -f data/big/Veltrassa ]; then
    echo "making a 1 GiB file ..." >&2
    mkdir -p data/big
    head -c 1073741824 /dev/urandom >data/big/Veltrassa.tmp
    mv data/big/Veltrassa.tmp data/big/Veltrassa
fi
if [ ! -f data/small/Veltrassa/d99/f99 ]; then
    echo "making 10,000 small files ..." >&2
    rm -rf data/small
    mkdir -p data/small/Veltrassa
    for d in $(seq 0 99); do
        mkdir -p "data/small/Veltrassa/d$d"
        for f in $(seq 0 99); do
            head -c $(((d * 100 + f) % 8192 + 100)) /dev/urandom >"data/small/Veltrassa/d$d/f$f"
        done
    done
fi

cold_possible=0
if [ -w /proc/sys/vm/drop_caches ] && sync && echo 3 >/proc/sys/vm/drop_caches 2>/dev/null; then
    cold_possible=1
fi

# Seconds one copy takes. cp is timed from outside (its start-up is about a millisecond); the
# driver times perform() itself, leaving out Qt's start-up, which is no part of a copy.
run_one() { # copier case cache
    local copier=$1 case=$2 cache=$3
    rm -rf out && mkdir out
    if [ "$cache" = cold ]; then
        sync
        echo 3 >/proc/sys/vm/drop_caches
    fi
    case $copier in
        cp)
            local t0 t1
            t0=$(date +%s.%N)
            cp -r "data/$case/Veltrassa" out/
            t1=$(date +%s.%N)
            awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.6f\n", b - a }'
            ;;
        shell) "$driver" "data/$case/Veltrassa" out ;;
    esac
    # The copy must be whole: same bytes as the source.
    cmp -s <(cd "data/$case" && find Veltrassa -type f -print0 | sort -z | xargs -0 cat | md5sum) \
        <(cd out && find Veltrassa -type f -print0 | sort -z | xargs -0 cat | md5sum) ||
        { echo "bench/copy.sh: $copier made a wrong copy of $case" >&2; exit 1; }
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

caches=warm
[ $cold_possible -eq 1 ] && caches="warm cold"
printf '%-26s %10s %10s %8s\n' "case" "cp -r (s)" "ours (s)" "ratio"
for case in big small; do
    for cache in $caches; do
        run_one cp "$case" warm >/dev/null # fills the cache for the warm runs
        cp_times=() our_times=()
        for _ in $(seq "$runs"); do
            cp_times+=("$(run_one cp "$case" "$cache")")
            our_times+=("$(run_one shell "$case" "$cache")")
        done
        c=$(printf '%s\n' "${cp_times[@]}" | median)
        o=$(printf '%s\n' "${our_times[@]}" | median)
        label=$([ "$case" = big ] && echo "1 GiB file" || echo "10,000 small files")
        printf '%-26s %10.3f %10.3f %8.2f\n' "$label, $cache" "$c" "$o" "$(awk -v c="$c" -v o="$o" 'BEGIN { print c / o }')"
    done
done
[ $cold_possible -eq 1 ] || echo "(caches could not be dropped: warm figures only)"
rm -rf out
