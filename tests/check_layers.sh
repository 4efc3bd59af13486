#!/usr/bin/env bash
# Fails when a file of src/ includes a header of a layer above its own. The
# layers, bottom up (a file may include its own layer and those below):
#   0 common/  1 model/  2 codegen/  3 project/  4 designer/ and */gui/  5 app/
# A file that includes anything from a folder of no layer fails too, until
# the folder is given one here.
set -euo pipefail
cd "$(dirname "$0")/../src"
find . \( -name '*.cpp' -o -name '*.h' \) -print | sort | xargs grep -H '^#include "' /dev/null |
  awk -F: '
    function layer(p) {
        sub(/^\.\//, "", p)
        if (p ~ /^app\//) return 5
        if (p ~ /^designer\// || p ~ /\/gui\//) return 4
        n = split("common model codegen project", below, " ")
        for (i = 1; i <= n; ++i) if (index(p, below[i] "/") == 1) return i - 1
        return -1
    }
    {
        header = $2
        gsub(/^#include "|".*/, "", header)
        if (header ~ /\.moc$|^moc_/) next
        from = layer($1); to = layer(header)
        if (from < 0 || to < 0) { print "FAILED: " $1 " or \"" header "\" lies in no layer"; bad = 1 }
        else if (to > from) { print "FAILED: " $1 " (layer " from ") includes \"" header "\" (layer " to ")"; bad = 1 }
    }
    END { exit bad }'
