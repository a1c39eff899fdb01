#!/usr/bin/env bash
# Compares each built shared library with its recorded ABI (abi/, written by
# scripts/update-abi) and prints abidiff's report. Fails on a change abidiff
# knows to be incompatible (a removed function or variable, a virtual function
# at another place in its table) and on a harmful change to the types of an
# existing function or variable (a class's size, layout or virtual functions);
# additions pass.
# The records are kept gzipped: several megabytes of XML each.
# Usage: check-abi.sh <record.abi.gz> <library> [<record.abi.gz> <library>...]
set -uo pipefail

command -v abidiff >/dev/null || { echo "check-abi: abidiff missing (scripts/install-deps test installs abigail-tools)" >&2; exit 1; }
failed=0
unpacked=$(mktemp)
trap 'rm -f "$unpacked"' EXIT
while (($# >= 2)); do
  record=$1 library=$2
  shift 2
  if ! gzip -dc "$record" >"$unpacked"; then
    echo "check-abi: cannot read $record" >&2
    failed=1
    continue
  fi
  report=$(abidiff --exported-interfaces-only --no-show-locs "$unpacked" "$library")
  status=$?
  echo "== $(basename "$library") against $record (abidiff status $status)"
  printf '%s\n' "$report"
  if ((status & 3)); then
    echo "check-abi: abidiff could not compare them" >&2
    failed=1
  elif ((status & 8)) || grep -Eq '^(Functions|Variables) changes summary: [0-9]+ Removed, [1-9]' <<<"$report"; then
    echo "check-abi: $(basename "$library") breaks the recorded ABI. If that is meant, raise the major" \
      "version in CMakeLists.txt and run scripts/update-abi in the same commit." >&2
    failed=1
  fi
done
exit $failed
