#!/usr/bin/env bash
# Prints the instructions (callgrind Ir) of one iteration of benchmarks of
# tnui_bench: the inclusive cost of the function each benchmark calls once
# per iteration, divided by its number of calls. Instruction counts do not
# depend on the load of the machine, unlike times. (The repaint benchmark is
# left out: the few paints that fit in a run under callgrind are dominated
# by the first one's font and glyph loading.)
# Usage: bench/callgrind-counts.sh [path/to/tnui_bench] [group...]
# Groups: emit, forward, value (the default set), and emit-ours (the
# library's own emissions only), controller, hover, create, dump, model (a
# large application's model built with tnUI and with Qt, per command).
set -euo pipefail
bench=${1:-build/bench/bench/tnui_bench}
shift || true
groups=("$@")
[[ ${#groups[@]} -eq 0 ]] && groups=(emit forward value)
out=$(mktemp)
trap 'rm -f "$out"' EXIT

# profile <binary> <benchmark>
profile() {
    # Immediate binding keeps the dynamic linker's one-off lookups out of the calls.
    LD_BIND_NOW=1 QT_QPA_PLATFORM=offscreen valgrind --tool=callgrind --compress-strings=no --compress-pos=no \
        --callgrind-out-file="$out" "$1" --benchmark_filter="^$2\$" --benchmark_min_time="${MIN_TIME:-0.2}" >/dev/null 2>&1
}

# sums <function>: its calls and their inclusive instructions, over all callers
sums() {
    awk -v fn="$1" '
        /^cfn=/ { hit = index($0, fn) > 0; next }
        hit && /^calls=/ { split($1, c, "="); calls += c[2]; getline; ir += $2; hit = 0 }
        END { printf "%.0f %.0f\n", calls, ir }
    ' "$out"
}

# count <benchmark> <function called once per iteration> [items per call]
# With items, the figure is per item (per command, say) instead.
count() {
    profile "$bench" "$1"
    read -r calls ir < <(sums "$2")
    if [[ $calls -gt 0 && -n ${3:-} ]]; then
        printf "%-50s %8.0f Ir per item\n" "$1" "$((ir / calls / $3))"
    elif [[ $calls -gt 0 ]]; then
        printf "%-42s %8.0f Ir per iteration\n" "$1" "$((ir / calls))"
    else
        echo "$1: no calls"
    fi
}

# count_loop <benchmark> <benchmark function> <function called once per
# iteration>: for a loop that calls nothing of its own once per iteration,
# the whole benchmark function's instructions divided by the calls of a
# function each iteration makes exactly once (its small setup included, a
# fraction of a per mille over the iterations run).
count_loop() {
    profile "$bench" "$1"
    read -r _ ir < <(sums "$2")
    read -r calls _ < <(sums "$3")
    if [[ $calls -gt 0 ]]; then
        printf "%-42s %8.0f Ir per iteration\n" "$1" "$((ir / calls))"
    else
        echo "$1: no calls"
    fi
}

for group in "${groups[@]}"; do
    case $group in
    emit)
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
        ;;
    emit-ours)
        for n in 1 8 64; do
            count "BM_Emit_OursMessage/listeners:$n" emitOursMessage
            count "BM_Emit_OursSignalInt/listeners:$n" emitOursInt
            count "BM_Emit_OursSignalIntLambda/listeners:$n" emitOursInt
        done
        ;;
    forward)
        for n in 1 4 16 64 256 1024; do
            count "BM_Forward_Chain/entities:$n" announceAtHead
        done
        ;;
    value)
        count "BM_Value_ScalarChange" changeLeaf
        count "BM_Value_Vector4ComponentChange" changeLeaf
        count "BM_Value_Vector4SetOneDifferent" setVector
        for n in 100 10000 100000; do
            count "BM_Value_VectorNComponentChange/components:$n" changeLeaf
        done
        ;;
    controller)
        for n in 0 1; do
            count "BM_Controller_ForwardDrag/listeners:$n" deliver
            count "BM_Controller_ForwardDragToState/listeners:$n" deliver
        done
        count "BM_Controller_NoticeEmission" notify
        ;;
    hover)
        count "BM_MarkMenu_Hover" "tnMarkMenu::hover("
        ;;
    create)
        count_loop "BM_Create_Entity" "BM_Create_Entity(" "tnUI::Entity::Entity()"
        count_loop "BM_Create_EntityListenedTo" "BM_Create_EntityListenedTo(" "tnUI::Entity::Entity()"
        count_loop "BM_Create_EntityListening" "BM_Create_EntityListening(" "tnUI::Entity::Entity()"
        count_loop "BM_Create_QObject" "BM_Create_QObject(" "QObject::QObject("
        ;;
    dump)
        for n in 100 1000 10000; do
            count "BM_Dump_Model/entities:$n/fresh_pages:0" dumpModel
        done
        ;;
    model)
        # A build or two per size is enough.
        for n in 100 1000 10000 100000; do
            MIN_TIME=0.001 count "BM_Model_Build_Ours/commands:$n/fresh_pages:0" buildOurs "$n"
            MIN_TIME=0.001 count "BM_Model_Build_Qt/commands:$n/fresh_pages:0" buildQt "$n"
        done
        ;;
    *)
        echo "unknown group: $group" >&2
        exit 2
        ;;
    esac
done
