#!/usr/bin/env bash
# Prints the instructions (callgrind Ir) of one emission for every emission,
# forwarding and value-change benchmark of tnui_bench: the inclusive cost of the function
# each benchmark calls once per iteration, divided by its number of calls; and
# the instructions per command of the model builds.
# Instruction counts do not depend on the load of the machine, unlike times.
# Usage: bench/callgrind-counts.sh [path/to/tnui_bench] [model]   ("model": the builds only)
set -euo pipefail
bench=${1:-build/bench/bench/tnui_bench}
only=${2:-}
out=$(mktemp)
trap 'rm -f "$out"' EXIT

# count <benchmark> <function called once per iteration> [items per call]
# With items, the figure is per item (per command, say) instead.
count() {
    # Immediate binding keeps the dynamic linker's one-off lookups out of the calls.
    LD_BIND_NOW=1 valgrind --tool=callgrind --compress-strings=no --compress-pos=no --callgrind-out-file="$out" \
        "$bench" --benchmark_filter="^$1\$" --benchmark_min_time="${MIN_TIME:-0.2}" >/dev/null 2>&1
    awk -v bench="$1" -v fn="$2" -v items="${3:-}" '
        /^cfn=/ { hit = index($0, fn) > 0; next }
        hit && /^calls=/ { split($1, c, "="); calls += c[2]; getline; ir += $2; hit = 0 }
        END {
            if (!calls) print bench ": no calls"
            else if (items) printf "%-50s %8.0f Ir per item\n", bench, ir / calls / items
            else printf "%-42s %8.0f Ir per iteration\n", bench, ir / calls
        }
    ' "$out"
}

if [[ "$only" != model ]]; then
for n in 1 8 64; do
    count "BM_Emit_OursMessage/listeners:$n" emitOursMessage
    count "BM_Emit_OursSignalInt/listeners:$n" emitOursInt
    count "BM_Emit_OursSignalIntLambda/listeners:$n" emitOursInt
    count "BM_Emit_QtDirect/listeners:$n" emitQt
    count "BM_Emit_QtDirectLambda/listeners:$n" emitQt
    count "BM_Emit_Boost/listeners:$n" emitBoost
    count "BM_Emit_BoostNoLock/listeners:$n" emitBoost
    count "BM_Emit_StdFunction/listeners:$n" emitFunctions
done
for n in 1 4 16 64 256 1024; do
    count "BM_Forward_Chain/entities:$n" announceAtHead
done
count "BM_Value_ScalarChange" changeLeaf
count "BM_Value_Vector4ComponentChange" changeLeaf
count "BM_Value_Vector4SetOneDifferent" setVector
for n in 100 10000 100000; do
    count "BM_Value_VectorNComponentChange/components:$n" changeLeaf
done
fi
# A large application's model, per command; a build or two per size is
# enough.
for n in 100 1000 10000 100000; do
    MIN_TIME=0.001 count "BM_Model_Build_Ours/commands:$n/fresh_pages:0" buildOurs "$n"
    MIN_TIME=0.001 count "BM_Model_Build_Qt/commands:$n/fresh_pages:0" buildQt "$n"
done
