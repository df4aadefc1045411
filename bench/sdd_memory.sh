#!/bin/sh
# Peak memory of the archive tool, which must stay at its window and buffers whatever the size of the
# tree or member: `a` of a tree at -m0 and at -m1, -m3 and -m5 with and without -s, `a` of one file of
# 256 MiB, the most a member holds, and `x` and `t` of one 100 MB member beside unar.
# Prints peak resident size, processor time (user + system) and wall time of each run.
#
#   bench/sdd_memory.sh SDD TREE [WORK_FOLDER]
#
# SDD is the built tool (build/default/tools/sdd/sdd), TREE a folder of real files (a copy of /usr/share
# and part of /usr/lib, 1 to 2 GB, say). WORK_FOLDER (default:
# a new folder under /tmp) needs room for the archives: about the size of TREE.
set -eu
if [ $# -lt 2 ]; then
    sed -n '2,10s/^# \{0,1\}//p' "$0" >&2
    exit 2
fi
sdd=$(realpath "$1")
tree=$(realpath "$2")
work=${3:-$(mktemp -d /tmp/sdd-memory.XXXXXX)}
mkdir -p "$work"

# measure LABEL COMMAND...: one line of figures for the run.
measure() {
    label=$1
    shift
    /usr/bin/time -f "%M %U %S %e %x" -o "$work/time" "$@" >/dev/null 2>"$work/errors" || true
    # time puts a line before the figures when the command fails.
    read -r peak user system wall status <<EOF
$(tail -n 1 "$work/time")
EOF
    printf '%-28s %8.1f MiB peak  %7.2f s processor  %7.2f s wall  exit %s\n' "$label" \
        "$(echo "$peak / 1024" | bc -l)" "$(echo "$user + $system" | bc -l)" "$wall" "$status"
}

echo "tree: $tree ($(du -sh "$tree" | cut -f1), $(find "$tree" -type f | wc -l) files)"
for options in -m0 -m1 "-m1 -s" -m3 "-m3 -s" -m5 "-m5 -s"; do
    rm -f "$work/tree.sdd"
    # shellcheck disable=SC2086 # the options are words
    measure "a $options" "$sdd" a "$work/tree.sdd" "$tree" $options
    echo "    archive: $(du -h "$work/tree.sdd" | cut -f1)"
done
rm -f "$work/tree.sdd"

# The largest member there can be, of real bytes: the tree's files end to end.
find "$tree" -type f -size +1M -print0 | xargs -0 cat 2>/dev/null | head -c 268435456 >"$work/largest.bin"
rm -f "$work/largest.sdd"
measure "a -m3 (one 256 MiB member)" "$sdd" a "$work/largest.sdd" "$work/largest.bin" -m3
rm -f "$work/largest.bin" "$work/largest.sdd"

# One 100 MB member of real bytes: the tree's files end to end.
find "$tree" -type f -size +1M -print0 | xargs -0 cat 2>/dev/null | head -c 100000000 >"$work/member.bin"
rm -f "$work/member.sdd"
measure "a -m3 (one 100 MB member)" "$sdd" a "$work/member.sdd" "$work/member.bin" -m3
for reader in sdd unar; do
    rm -rf "$work/out"
    mkdir "$work/out"
    if [ "$reader" = sdd ]; then
        measure "x (sdd)" "$sdd" x "$work/member.sdd" -o "$work/out"
    else
        measure "x (unar)" unar -q -o "$work/out" "$work/member.sdd"
    fi
    cmp -s "$work/out/member.bin" "$work/member.bin" || echo "    $reader: the member came out different"
done
measure "t (sdd)" "$sdd" t "$work/member.sdd"
rm -rf "$work/out" "$work/member.bin" "$work/member.sdd" "$work/time" "$work/errors"
