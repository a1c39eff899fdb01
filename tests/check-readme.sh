#!/usr/bin/env bash
# Compiles every ```cpp block of Markdown files, each as its own translation
# unit: the block's #include lines first, then the C++ of an HTML comment
# "<!-- snippet context" ... "-->" standing right before the block (what a
# fragment takes from the host around it), then the rest of the block as the
# body of a function. Diagnostics point at the Markdown file's lines.
# Usage: check-readme.sh <file.md>... <work dir> <compiler> <compiler flags...>
set -euo pipefail
markdowns=()
while [[ "$1" == *.md ]]; do
    markdowns+=("$(realpath "$1")")
    shift
done
work=$1
shift

rm -rf "$work"
mkdir -p "$work"
for markdown in "${markdowns[@]}"; do
awk -v work="$work" -v md="$markdown" -v prefix="$(basename "$markdown" .md)" '
function flush_context() { context = ""; in_context = 0 }
/^<!-- snippet context/ { flush_context(); in_context = 1; keep_context = 1; next }
in_context && /^-->/ { in_context = 0; next }
in_context { context = context $0 "\n"; next }
/^```cpp[ \t]*$/ {
    n++
    file = sprintf("%s/%s-%d.cpp", work, prefix, NR + 1)
    includes = ""; body = ""; in_block = 1
    next
}
in_block && /^```/ {
    printf "%s", includes > file
    if (keep_context) printf "%s", context > file
    printf "void readmeSnippet()\n{\n%s}\n", body > file
    close(file)
    in_block = 0; keep_context = 0; flush_context()
    next
}
in_block && /^[ \t]*#[ \t]*include/ { includes = includes sprintf("#line %d \"%s\"\n%s\n", NR, md, $0); next }
in_block { body = body sprintf("#line %d \"%s\"\n%s\n", NR, md, $0); next }
NF { keep_context = 0; flush_context() }
' "$markdown"
done

shopt -s nullglob
failed=0
for markdown in "${markdowns[@]}"; do
    snippets=("$work/$(basename "$markdown" .md)"-*.cpp)
    if [[ ${#snippets[@]} -eq 0 ]]; then
        echo "check-readme: no cpp block in $markdown" >&2
        failed=1
    fi
done
for snippet in "$work"/*.cpp; do
    block=$(basename "$snippet" .cpp)
    if "$@" -fsyntax-only "$snippet"; then
        echo "ok: the block of ${block%-*}.md at line ${block##*-}"
    else
        echo "FAILED: the block of ${block%-*}.md at line ${block##*-}"
        failed=1
    fi
done
exit $failed
