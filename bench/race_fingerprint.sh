#!/bin/sh
# Races every track of a game folder with seeds 1 to 5 and keeps what each race leaves: the
# --json summary, the saved game (every car's state and the replay, bit for bit) and one car's
# step trace. A speed change must leave all of them byte for byte as they were.
#   race_fingerprint.sh GAME_FOLDER OUT_FOLDER               record
#   race_fingerprint.sh GAME_FOLDER OUT_FOLDER REF_FOLDER    record, then compare with REF
set -eu
game=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
ref=${3:-}
cd "$game"
find tracks -name '*.trk' | sort > "$out/tracks.txt"
while read -r track; do
    name=$(echo "$track" | sed 's|^tracks/||; s|\.trk$||; s|/|_|g')
    for seed in 1 2 3 4 5; do
        base="$out/$name-$seed"
        ./tmsim "$track" --seed "$seed" --json --save "$base.gam" --trace $((seed % 6 + 1)) \
            > "$base.json" 2> "$base.trace"
    done
done < "$out/tracks.txt"
count=$(ls "$out"/*.json | wc -l)
if [ -z "$ref" ]; then
    echo "$count races recorded in $out"
    exit 0
fi
if diff -r "$ref" "$out" > /dev/null; then
    echo "$count races: the same bytes as $ref"
else
    diff -rq "$ref" "$out" | head -20
    echo "races differ from $ref"
    exit 1
fi
