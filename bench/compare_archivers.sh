#!/bin/sh
# sdd beside gzip, xz and unar on ordinary trees: for each folder, the size, wall time, processor time (user +
# system) and peak memory of packing it with sdd -m1, -m3 and -m5 against tar | gzip -9 and tar | xz -6, and
# of extracting the -m3 archive with sdd x against unar; then one large member (the first 100 MB of the tar of
# the last folder) packed at -m3 and extracted by both. Each figure is the best of RUNS runs (default 3), as
# the machine's other work only ever adds time.
#
#   bench/compare_archivers.sh SDD [FOLDER...]
#   BASELINE=OLD_SDD bench/compare_archivers.sh SDD [FOLDER...]   adds OLD_SDD -m3 beside, for a before and after
#
# Without folders it measures /usr/share/doc and a mixed tree of about 26 MB gathered from this system
# (libraries, headers, X11 data, pictures). The tar stream is made once beforehand, so the compressors' times
# leave tar out; sdd reads the folder itself, and its time includes the check that reads every member back.
#
# Measured on a shared two-core machine under a load of 10 to 15, one run each (processor seconds; sizes in
# bytes); from one run to the next processor times moved by up to a fifth there:
#   mixed tree, 25.3 MB as tar:  gzip -9 3.02 s 8817547;  xz -6 15.61 s 7096936;  sdd -m1 1.99 s 9088792;
#     sdd -m3 3.06 s 8750258;  sdd -m5 13.40 s 8455468;  sdd x 0.38 s (5.1 MiB) against unar 0.80 s (28.6 MiB)
#   /usr/share/doc, 138.2 MB as tar:  gzip -9 5.21 s 81034355;  xz -6 64.93 s 65376416;  sdd -m1 4.01 s;
#     sdd -m3 5.08 s 80879590;  sdd -m5 28.48 s 80206528;  sdd x 2.32 s (5.5 MiB) against unar 5.50 s (55.5 MiB)
#   one 100 MB member:  gzip -9 3.22 s 55953095;  sdd -m3 7.39 s 52394108;  sdd x 1.36 s (4.9 MiB) against
#     unar 1.25 s (21.7 MiB)
#   -m3 before storing compressed members unpacked (BASELINE), paired runs on /usr/share/doc: 12.46 s and
#     11.87 s against 6.19 s and 6.43 s, gzip -9 4.68 s and 5.91 s; on the mixed tree no change beyond noise.
set -eu

sdd=$(realpath "${1:?usage: $0 SDD [FOLDER...]}")
shift
runs=${RUNS:-3}
baseline=${BASELINE:+$(realpath "$BASELINE")}
scratch=$(mktemp -d "${TMPDIR:-/tmp}/heliox-compare-XXXXXX")
trap 'rm -rf "$scratch"' EXIT INT TERM

mixed_tree() {
    tree=$scratch/mixed
    mkdir -p "$tree/lib" "$tree/pictures"
    for library in libcrypto.so.3 libstdc++.so.6 libsqlite3.so.0; do
        cp -L "/usr/lib/x86_64-linux-gnu/$library" "$tree/lib/"
    done
    cp -L /usr/bin/perl "$tree/lib/"
    cp -rL /usr/include/linux "$tree/include"
    cp -rL /usr/share/X11 "$tree/X11"
    cp -rL /usr/share/icons/Adwaita/512x512 "$tree/pictures/512"
    find /usr/share/doc -name '*.png' -size +20k | sort | head -n 40 | while read -r picture; do
        cp -L "$picture" "$tree/pictures/$(echo "$picture" | tr / _)"
    done
    echo "$tree"
}

# Runs the command `runs` times and prints the best run's wall seconds, processor seconds and peak KiB.
measure() {
    best=""
    i=0
    while [ "$i" -lt "$runs" ]; do
        /usr/bin/time -f '%e %U %S %M' -o "$scratch/time" sh -c "$1" >/dev/null 2>"$scratch/errors" ||
            { echo "failed: $1" >&2; cat "$scratch/errors" >&2; return 1; }
        run=$(awk '{ printf "%.2f %.2f %d", $1, $2 + $3, $4 }' "$scratch/time")
        if [ -z "$best" ] || [ "$(echo "$run $best" | awk '{ print ($2 < $5) }')" = 1 ]; then
            best=$run
        fi
        i=$((i + 1))
    done
    echo "$best"
}

row() { # name, command, output file
    figures=$(measure "$2")
    size=$(stat -c %s "$3" 2>/dev/null || echo 0)
    printf '  %-14s' "$1"
    echo "$figures $size" | awk '{ printf " %8.2f s %8.2f s %8.1f MiB %12d\n", $1, $2, $3 / 1024, $4 }'
}

header() {
    printf '  %-14s %10s %10s %12s %12s\n' "" wall processor "peak memory" size
}

compare_tree() {
    folder=$1
    tar -C "$(dirname "$folder")" -cf "$scratch/tree.tar" "$(basename "$folder")"
    echo
    echo "$folder: $(find "$folder" -type f | wc -l) files, $(stat -c %s "$scratch/tree.tar") bytes as tar"
    header
    row "gzip -9" "gzip -9 -c '$scratch/tree.tar' > '$scratch/tree.gz'" "$scratch/tree.gz"
    row "xz -6" "xz -6 -c '$scratch/tree.tar' > '$scratch/tree.xz'" "$scratch/tree.xz"
    if [ -n "$baseline" ]; then
        row "baseline -m3" "rm -f '$scratch/base.sdd' && '$baseline' a '$scratch/base.sdd' '$folder' -m3" \
            "$scratch/base.sdd"
    fi
    for level in 1 3 5; do
        row "sdd a -m$level" "rm -f '$scratch/m$level.sdd' && '$sdd' a '$scratch/m$level.sdd' '$folder' -m$level" \
            "$scratch/m$level.sdd"
    done
    row "gunzip" "rm -rf '$scratch/out' && mkdir '$scratch/out' && gzip -dc '$scratch/tree.gz' | tar -C '$scratch/out' -xf -" /dev/null
    row "sdd x (-m3)" "rm -rf '$scratch/out' && '$sdd' x '$scratch/m3.sdd' -o '$scratch/out'" /dev/null
    row "unar (-m3)" "rm -rf '$scratch/out' && unar -q -o '$scratch/out' '$scratch/m3.sdd'" /dev/null
}

compare_large_member() {
    head -c 100000000 "$scratch/tree.tar" > "$scratch/large"
    echo
    echo "one member of 100000000 bytes (the start of the tar above)"
    header
    row "gzip -9" "gzip -9 -c '$scratch/large' > '$scratch/large.gz'" "$scratch/large.gz"
    row "sdd a -m3" "rm -f '$scratch/large.sdd' && '$sdd' a '$scratch/large.sdd' '$scratch/large' -m3" \
        "$scratch/large.sdd"
    row "gunzip" "gzip -dc '$scratch/large.gz' > '$scratch/large.out'" /dev/null
    row "sdd x" "rm -rf '$scratch/out' && '$sdd' x '$scratch/large.sdd' -o '$scratch/out'" /dev/null
    row "unar" "rm -rf '$scratch/out' && unar -q -o '$scratch/out' '$scratch/large.sdd'" /dev/null
}

if [ "$#" -eq 0 ]; then
    set -- "$(mixed_tree)" /usr/share/doc
fi
echo "best of $runs runs; processor time is user + system over all threads"
for folder in "$@"; do
    compare_tree "$(realpath "$folder")"
done
compare_large_member
