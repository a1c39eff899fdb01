#!/bin/sh
# Doxygen's input filter (see Doxyfile.in), given one file; keeps its line
# numbers. A header's first line (#pragma once) opens the group of its
# subsystem, and its end closes it. A Markdown file becomes one comment block:
# the group of its subsystem for docs/reference/<subsystem>.md, the main page
# for docs/reference/index.md, else a page named after the file; its first
# heading is the title, and links to the other Markdown files and to the
# pictures work as they do when the files are read on their own.
file=$1
case $file in
*.h)
    case $file in
    */markingmenus/qt/*) group=markingmenus_qt ;;
    */markingmenus/popup/*) group=popup ;;
    */foundation/* | */entity/* | */values/* | */arguments/* | */commands/* | */menus/* | \
        */application/* | */markingmenus/* | */widgets/*)
        group=$(basename "$(dirname "$file")") ;;
    *) exec cat "$file" ;; # the umbrella headers
    esac
    exec awk -v group="$group" '
        NR == 1 { print "/** @addtogroup " group " */ /** @{ */"; next }
        { print }
        END { print "/** @} */" }' "$file"
    ;;
*.md)
    name=$(basename "$file" .md | tr '-' '_')
    case $file in
    */reference/index.md) command="@mainpage" ;;
    */reference/*) command="@defgroup $name" ;;
    *) command="@page $name" ;;
    esac
    exec awk -v command="$command" '
        NR == 1 { sub(/^# */, ""); print "/** " command " " $0; next }
        {
            # [text](reference/name.md), [text](../guide.md) and the like
            while (match($0, /\]\([^)]*\.md\)/)) {
                target = substr($0, RSTART + 2, RLENGTH - 3)
                sub(/.*\//, "", target); sub(/\.md$/, "", target); gsub(/-/, "_", target)
                $0 = substr($0, 1, RSTART - 1) "](@ref " target ")" substr($0, RSTART + RLENGTH)
            }
            # pictures are looked up in docs/ by name
            gsub(/\]\((\.\.\/)+(docs\/)?/, "](")
            gsub(/\]\(docs\//, "](")
            print
        }
        END { print "*/" }' "$file"
    ;;
*) exec cat "$file" ;;
esac
