#!/usr/bin/env bash
# Builds the benchmarks of two revisions the same way and runs them side by
# side, alternately (before, after, before, after...), then prints a markdown
# table of the medians: benchmark | before | after | after / before. With
# CALLGRIND=1 it also prints both revisions' instruction counts
# (bench/callgrind-counts.sh of the working tree, on each revision's binary).
#
# Usage: bench/compare-revisions.sh BASE [HEAD]
# Each revision is checked out in a git worktree under build/compare/<commit>
# and built there in Release with g++ (ccache when installed); a worktree
# left by an earlier run is reused (remove one with
# `git worktree remove --force build/compare/<commit>`). Settings (environment):
#   REPETITIONS  rounds of each binary (default 5)
#   MIN_TIME     --benchmark_min_time of each run (default 0.2)
#   FILTER       benchmarks of tnui_bench (default: emission, controller
#                delivery, hover, creation)
#   RENDER_FILTER benchmarks of tnui_bench_render (default: repaint; empty: none)
#   COUNT_GROUPS callgrind-counts.sh groups (default: emit-ours controller hover
#                create)
#   JOBS         build parallelism (default 1)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

base=$(git rev-parse --verify "${1:?usage: $0 BASE [HEAD]}^{commit}")
head=$(git rev-parse --verify "${2:-HEAD}^{commit}")
repetitions=${REPETITIONS:-5}
min_time=${MIN_TIME:-0.2}
filter=${FILTER:-'^BM_Emit_|^BM_Controller_|^BM_MarkMenu_Hover|^BM_Create_'}
render_filter=${RENDER_FILTER-'^BM_MarkRender_'}
groups=${COUNT_GROUPS:-emit-ours controller hover create}
jobs=${JOBS:-1}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# build <commit>: prints the directory holding its benchmark binaries
build() {
    local tree="$root/build/compare/${1:0:12}"
    if [[ ! -d $tree ]]; then
        git worktree add --detach "$tree" "$1" >&2
    fi
    # The build folder lies as deep in the worktree as a usual one does, so
    # that ccache, with the worktree as its base, shares objects with it.
    (
        export CCACHE_BASEDIR="$tree"
        cmake -S "$tree" -B "$tree/build/rel" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ \
            "${launcher[@]}" -DTNUI_BUILD_BENCH=ON -DTNUI_BUILD_TESTS=OFF -DTNUI_BUILD_EXAMPLES=OFF >/dev/null
        cmake --build "$tree/build/rel" --target tnui_bench tnui_bench_render -j "$jobs" >&2
    )
    echo "$tree/build/rel/bench"
}

before=$(build "$base")
after=$(build "$head")
results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT

# run <binary> <filter> <output>
run() {
    QT_QPA_PLATFORM=offscreen "$1" --benchmark_filter="$2" --benchmark_min_time="$min_time" \
        --benchmark_format=json --benchmark_out_format=json --benchmark_out="$3" >/dev/null
}

for ((r = 1; r <= repetitions; ++r)); do
    echo "round $r of $repetitions" >&2
    run "$before/tnui_bench" "$filter" "$results/before-main-$r.json"
    run "$after/tnui_bench" "$filter" "$results/after-main-$r.json"
    if [[ -n $render_filter ]]; then
        run "$before/tnui_bench_render" "$render_filter" "$results/before-render-$r.json"
        run "$after/tnui_bench_render" "$render_filter" "$results/after-render-$r.json"
    fi
done

echo "Before: $(git log -1 --format='%h %s' "$base")"
echo "After:  $(git log -1 --format='%h %s' "$head")"
echo "Load average at the end: $(cut -d' ' -f1-3 /proc/loadavg); $repetitions alternating rounds, min time $min_time s"
echo
python3 - "$results" <<'EOF'
import glob, json, statistics, sys

scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}
def medians(side):
    times, order = {}, []
    for path in sorted(glob.glob(f"{sys.argv[1]}/{side}-*.json")):
        for b in json.load(open(path))["benchmarks"]:
            if b.get("run_type", "iteration") != "iteration" or b.get("error_occurred"):
                continue
            if b["name"] not in times:
                times[b["name"]] = []
                order.append(b["name"])
            times[b["name"]].append(b["cpu_time"] * scale[b.get("time_unit", "ns")])
    return {name: statistics.median(t) for name, t in times.items()}, order

before, _ = medians("before")
after, order = medians("after")
def show(ns):
    return f"{ns:,.1f} ns" if ns < 1e4 else f"{ns / 1e3:,.1f} µs"
print("| benchmark | before | after | after / before |")
print("|---|---:|---:|---:|")
for name in order:
    if name in before:
        print(f"| `{name}` | {show(before[name])} | {show(after[name])} | {after[name] / before[name]:.2f} |")
    else:
        print(f"| `{name}` | | {show(after[name])} | |")
EOF

if [[ ${CALLGRIND:-0} == 1 ]]; then
    "$root/bench/callgrind-counts.sh" "$before/tnui_bench" $groups >"$results/before-ir.txt"
    "$root/bench/callgrind-counts.sh" "$after/tnui_bench" $groups >"$results/after-ir.txt"
    echo
    echo "| benchmark | instructions before | after | after / before |"
    echo "|---|---:|---:|---:|"
    awk 'NR == FNR { if ($3 == "Ir") ir[$1] = $2; next }
         $3 == "Ir" { printf "| `%s` | %s | %s | %s |\n", $1, ($1 in ir) ? ir[$1] : "", $2,
                             ($1 in ir) ? sprintf("%.2f", $2 / ir[$1]) : "" }' \
        "$results/before-ir.txt" "$results/after-ir.txt"
fi
