#!/usr/bin/env bash
# Fails when a file of src/ includes a header of a layer above its own. The
# layers, bottom up (a file may include its own layer and those below):
#   0 common/            text and file helpers
#   1 model/             object records, tables, naming, panel size, file formats
#   2 codegen/           the vJass language and the generator
#   3 project/           the document: Project, history, commands, check, recovery
#   4 designer/, */gui/  the views (the panel's drawing, each area's windows)
#   5 app/               the application: the main window, vellgen
# A file that includes anything from a folder of no layer fails too, until
# the folder is given one here.
set -euo pipefail
cd "$(dirname "$0")/../src"
find . \( -name '*.cpp' -o -name '*.h' \) -print | sort |
  xargs grep -H '^#include "' /dev/null |
  awk -F: '
    function layer(path) {
        sub(/^\.\//, "", path)
        if (path ~ /^app\//) return 5
        if (path ~ /^designer\// || path ~ /\/gui\//) return 4
        if (path ~ /^project\//) return 3
        if (path ~ /^codegen\//) return 2
        if (path ~ /^model\//) return 1
        if (path ~ /^common\//) return 0
        return -1
    }
    {
        file = $1
        header = $2
        sub(/^#include "/, "", header)
        sub(/".*/, "", header)
        from = layer(file)
        to = layer(header)
        if (from < 0) {
            print "FAILED: " file " lies in no layer"
            bad = 1
        } else if (header ~ /\.moc$/ || header ~ /^moc_/) {
            next
        } else if (to < 0) {
            print "FAILED: " file " includes \"" header "\", which lies in no layer"
            bad = 1
        } else if (to > from) {
            print "FAILED: " file " (layer " from ") includes \"" header "\" (layer " to ")"
            bad = 1
        }
    }
    END { exit bad }'
