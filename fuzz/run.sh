#!/usr/bin/env bash
# Builds the fuzz harnesses (clang, pilmora_core only) and runs them one after
# the other, each at the lowest priority.
#
#   fuzz/run.sh [NAME...]        fuzz each harness for FUZZ_SECONDS (default 60)
#   fuzz/run.sh --ci [NAME...]   replay each corpus, then FUZZ_RUNS (default 2000)
#                                inputs from seed 1: the same inputs at every run
#                                (a tenth for the generators, which load a whole project)
#
# NAME is a harness without its prefix (ini, language, signaltable, ...); none
# means all. New inputs go to $FUZZ_BUILD/corpus/NAME, findings to
# $FUZZ_BUILD/artifacts/NAME-crash-*. Extra libFuzzer flags: FUZZ_FLAGS.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${FUZZ_BUILD:-build-fuzz}
SECONDS_EACH=${FUZZ_SECONDS:-60}
RUNS=${FUZZ_RUNS:-2000}
JOBS=${JOBS:-$(nproc)}
ci=0
if [ "${1:-}" = "--ci" ]; then ci=1; shift; fi

if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    gen=""
    command -v ninja >/dev/null 2>&1 && gen="-G Ninja"
    CC=clang CXX=clang++ cmake -S . -B "$BUILD" $gen -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPILMORA_FUZZ=ON
fi
cmake --build "$BUILD" -j "$JOBS"

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
    for f in fuzz/fuzz_*.cpp; do n=$(basename "$f" .cpp); names+=("${n#fuzz_}"); done
fi
# Memory an input leaves unreachable is a finding; Qt's caches stay reachable
# from its globals, so the leak check does not see them.
common=(-detect_leaks=1 -rss_limit_mb=2048 -timeout=20)
for n in "${names[@]}"; do
    bin="$BUILD/fuzz/fuzz_$n"
    seeds="fuzz/corpus/$n"
    dict=()
    [ -f "fuzz/dict/$n.dict" ] && dict=(-dict="fuzz/dict/$n.dict")
    mkdir -p "$BUILD/artifacts"
    if [ $ci -eq 1 ]; then
        echo "== fuzz_$n: corpus replay"
        nice -n 19 "$bin" "${common[@]}" -runs=0 "$seeds"
        runs=$RUNS
        case $n in *generate) runs=$((RUNS / 10)) ;; esac
        echo "== fuzz_$n: $runs runs from seed 1"
        scratch=$(mktemp -d)
        nice -n 19 "$bin" "${common[@]}" "${dict[@]}" -seed=1 -runs="$runs" \
            -artifact_prefix="$BUILD/artifacts/$n-" ${FUZZ_FLAGS:-} "$scratch" "$seeds" || { rm -rf "$scratch"; exit 1; }
        rm -rf "$scratch"
    else
        echo "== fuzz_$n: $SECONDS_EACH s"
        mkdir -p "$BUILD/corpus/$n"
        nice -n 19 "$bin" "${common[@]}" "${dict[@]}" -max_total_time="$SECONDS_EACH" -print_final_stats=1 \
            -artifact_prefix="$BUILD/artifacts/$n-" ${FUZZ_FLAGS:-} "$BUILD/corpus/$n" "$seeds"
    fi
done
