#!/usr/bin/env bash
# Fails, naming file and line, on an include in src/ that climbs a layer. From the bottom:
# platform, host, edit, undo, operations (each undoable change whole), the user interface (view,
# dialog, play, which use each other), and the module's entry points. The resources (res) stand on platform and host and serve the user
# interface and the module. The Qt backend, the apps and the tests stand outside and may include
# anything. The linker checks the same order (src/CMakeLists.txt); this finds it before a build,
# in headers too.
set -euo pipefail
cd "$(dirname "$0")/../src"

grep -rnE --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z_]+/' \
    platform host res edit undo operations view dialog play module |
    awk '
    BEGIN {
        rank["platform"] = 0; rank["host"] = 1; rank["edit"] = 2; rank["undo"] = 3
        rank["operations"] = 4
        rank["view"] = 5; rank["dialog"] = 5; rank["play"] = 5; rank["res"] = 5
        rank["module"] = 6
        # What a folder may reach: everything up to its own rank, except that res is a leaf
        # of resources on platform and host.
        reach["res"] = 1
    }
    {
        split($0, where, ":")
        file = where[1]; line = where[2]
        split(file, parts, "/"); from = parts[1]
        text = substr($0, length(file) + length(line) + 3)
        match(text, /"[a-z_]+\//)
        to = substr(text, RSTART + 1, RLENGTH - 2)
        if (!(to in rank) || to == from)
            next
        limit = (from in reach) ? reach[from] : rank[from]
        if (rank[to] > limit) {
            printf "src/%s:%s: %s may not include %s/ (a higher layer)\n", file, line, from, to
            bad = 1
        }
    }
    END { exit bad }'
