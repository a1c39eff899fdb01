#!/usr/bin/env bash
# Compiles every ```cpp block of a Markdown file, each as its own translation
# unit: the block's #include lines first, then the C++ of an HTML comment
# "<!-- snippet context" ... "-->" standing right before the block (what a
# fragment takes from the host around it), then the rest of the block as the
# body of a function. Diagnostics point at the Markdown file's lines.
# Usage: check-readme.sh <file.md> <work dir> <compiler> <compiler flags...>
set -euo pipefail
markdown=$(realpath "$1")
work=$2
shift 2

rm -rf "$work"
mkdir -p "$work"
awk -v work="$work" -v md="$markdown" '
function flush_context() { context = ""; in_context = 0 }
/^<!-- snippet context/ { flush_context(); in_context = 1; keep_context = 1; next }
in_context && /^-->/ { in_context = 0; next }
in_context { context = context $0 "\n"; next }
/^```cpp[ \t]*$/ {
    n++
    file = sprintf("%s/snippet-%d.cpp", work, NR + 1)
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

shopt -s nullglob
snippets=("$work"/snippet-*.cpp)
if [[ ${#snippets[@]} -eq 0 ]]; then
    echo "check-readme: no cpp block in $markdown" >&2
    exit 1
fi
failed=0
for snippet in "${snippets[@]}"; do
    if "$@" -fsyntax-only "$snippet"; then
        echo "ok: the block at line ${snippet##*snippet-}" | sed 's/\.cpp$//'
    else
        echo "FAILED: the block at line ${snippet##*snippet-}" | sed 's/\.cpp$//'
        failed=1
    fi
done
exit $failed
