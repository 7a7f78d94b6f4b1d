#!/usr/bin/env bash
# Copy benchmark: the shell copy (through bench/copydriver, with its real dialogs, offscreen)
# against cp -r in the same run, on one large file (1 GiB) and on a tree of many small files
# (10,000), with a warm page cache and, when caches can be dropped (root), a cold one. Runs
# alternate between the two copiers; each figure is the median of the runs. The ratio is cp's
# time over ours, i.e. our throughput as a share of cp's (1.00 = as fast, higher = faster).
#
# usage: bench/copy.sh [-n RUNS] [-d WORKDIR] [-s MIB] [-f FILES] [--warm] [--raw] [--no-build]
#   -n RUNS      measured runs per copier and case (default 5)
#   -d WORKDIR   where the data and copies go (default /var/tmp/copybench; needs ~3 GiB)
#   -s MIB       size of the large file in MiB (default 1024)
#   -f FILES     number of small files (default 10000)
#   --warm       warm page cache only, even where caches could be dropped
#   --raw        one line per case for other scripts: "CASE CACHE CP_SECONDS OUR_SECONDS"
#   --no-build   use what is already in the build directory ($BUILD_DIR or build/)
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
runs=5 work=/var/tmp/copybench do_build=1 big_mib=1024 small_files=10000 warm_only=0 raw=0
usage() {
    echo "usage: bench/copy.sh [-n RUNS] [-d WORKDIR] [-s MIB] [-f FILES] [--warm] [--raw] [--no-build]" >&2
    exit 2
}
while [ $# -gt 0 ]; do
    case $1 in
        -n) [ $# -ge 2 ] || usage; runs=$2; shift 2 ;;
        -d) [ $# -ge 2 ] || usage; work=$2; shift 2 ;;
        -s) [ $# -ge 2 ] || usage; big_mib=$2; shift 2 ;;
        -f) [ $# -ge 2 ] || usage; small_files=$2; shift 2 ;;
        --warm) warm_only=1; shift ;;
        --raw) raw=1; shift ;;
        --no-build) do_build=0; shift ;;
        *) usage ;;
    esac
done
[[ $runs =~ ^[1-9][0-9]*$ && $big_mib =~ ^[1-9][0-9]*$ && $small_files =~ ^[1-9][0-9]*$ ]] || usage
# Each size has data of its own, so that switching sizes does not make the data again.
big=big-${big_mib}M small=small-$small_files

if [ $do_build -eq 1 ]; then
    cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" --parallel 2 --target copydriver >&2
fi
driver=$build/bench/copydriver
[ -x "$driver" ] || { echo "bench/copy.sh: $driver is missing" >&2; exit 1; }
export QT_QPA_PLATFORM=offscreen

mkdir -p "$work"
cd "$work"
if [ ! -f "data/$big/Veltrassa" ]; then
    echo "making a $big_mib MiB file ..." >&2
    mkdir -p "data/$big"
    head -c $((big_mib * 1048576)) /dev/urandom >"data/$big/Veltrassa.tmp"
    mv "data/$big/Veltrassa.tmp" "data/$big/Veltrassa"
fi
if [ ! -f "data/$small/done" ]; then
    echo "making $small_files small files ..." >&2
    rm -rf "data/$small"
    mkdir -p "data/$small/Veltrassa"
    # 100 files a directory, of sizes from 100 bytes to 8 KiB.
    for ((n = 0; n < small_files; n++)); do
        d=$((n / 100))
        [ $((n % 100)) -eq 0 ] && mkdir -p "data/$small/Veltrassa/d$d"
        head -c $((n % 8192 + 100)) /dev/urandom >"data/$small/Veltrassa/d$d/f$((n % 100))"
    done
    : >"data/$small/done"
fi

cold_possible=0
if [ $warm_only -eq 0 ] && [ -w /proc/sys/vm/drop_caches ] && sync && echo 3 >/proc/sys/vm/drop_caches 2>/dev/null; then
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
            # bash's own clock: a `date` process on either side would be timed with cp.
            local t0 t1
            t0=${EPOCHREALTIME/[.,]/}
            cp -r "data/$case/Veltrassa" out/
            t1=${EPOCHREALTIME/[.,]/}
            awk -v d=$((t1 - t0)) 'BEGIN { printf "%.6f\n", d / 1e6 }'
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
[ $raw -eq 1 ] || printf '%-30s %10s %10s %8s\n' "case" "cp -r (s)" "ours (s)" "ratio"
for case in "$big" "$small"; do
    for cache in $caches; do
        run_one cp "$case" warm >/dev/null # fills the cache for the warm runs
        cp_times=() our_times=()
        for _ in $(seq "$runs"); do
            cp_times+=("$(run_one cp "$case" "$cache")")
            our_times+=("$(run_one shell "$case" "$cache")")
        done
        c=$(printf '%s\n' "${cp_times[@]}" | median)
        o=$(printf '%s\n' "${our_times[@]}" | median)
        if [ $raw -eq 1 ]; then
            echo "$case $cache $c $o"
            continue
        fi
        label=$([ "$case" = "$big" ] && echo "$big_mib MiB file" || echo "$small_files small files")
        printf '%-30s %10.3f %10.3f %8.2f\n' "$label, $cache" "$c" "$o" "$(awk -v c="$c" -v o="$o" 'BEGIN { print c / o }')"
    done
done
[ $cold_possible -eq 1 ] || [ $raw -eq 1 ] || echo "(caches were not dropped: warm figures only)"
rm -rf out
