#!/usr/bin/env bash
# Several computers on one data folder, for a minute: WRITERS rovanta-cli processes, each with a
# HOME of its own, write months of the demo car (one car lock) and published prices (the folder
# lock) as fast as they can. Afterwards every file must parse and every change a writer was told
# was done must be there. Not part of the test suite: it runs for SECONDS seconds.
#
#   tools/soak_shared.sh [build/bin/rovanta-cli] [SECONDS] [WRITERS]
set -u
CLI=${1:-build/bin/rovanta-cli}
SECONDS_TO_RUN=${2:-60}
WRITERS=${3:-4}
CLI=$(realpath "$CLI")
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
DATA="$WORK/adat"
"$CLI" demo "$DATA" >/dev/null || { echo "demo failed"; exit 2; }
CAR=RVN-482

writer() {
    local w=$1 n=0 end=$((SECONDS + SECONDS_TO_RUN))
    export HOME="$WORK/home$w" XDG_CONFIG_HOME="$WORK/home$w/config"
    mkdir -p "$HOME"
    while ((SECONDS < end)); do
        n=$((n + 1))
        # Each writer has months of its own, so every acknowledged write can be looked for.
        local year=$((2000 + w * 1000 + n / 12)) month=$((n % 12 + 1))
        local ym
        ym=$(printf '%04d-%02d' "$year" "$month")
        if ((n % 2)); then
            "$CLI" --data-dir "$DATA" generate "$CAR" "$ym" --km 400 --seed "$n" --elfogad \
                >/dev/null 2>"$WORK/err$w"
            local rc=$?
            echo "generate $ym $rc" >>"$WORK/log$w"
        else
            local price=$((500 + w * 10 + n % 10))
            printf 'year\tmonth\tesz95\tgazolaj\tkeverek\tlpg\tcng\tsource_url\n%d\t%d\t%d\t%d\t%d\t\t\thttps://example.org/\n' \
                "$year" "$month" "$price" "$price" "$price" >"$WORK/table$w.tsv"
            "$CLI" --data-dir "$DATA" prices import "$WORK/table$w.tsv" >/dev/null 2>"$WORK/err$w"
            local rc=$?
            echo "import $ym $price $rc" >>"$WORK/log$w"
        fi
        if ((rc != 0)); then
            if grep -q "zárolva van" "$WORK/err$w"; then
                echo conflict >>"$WORK/conflicts$w"
            else
                echo "writer $w: $(cat "$WORK/err$w")" >>"$WORK/failures"
            fi
        fi
    done
}

for w in $(seq 1 "$WRITERS"); do writer "$w" & done
wait

ops=$(cat "$WORK"/log* | wc -l)
done_ops=$(cat "$WORK"/log* | awk '$NF == 0' | wc -l)
conflicts=$(cat "$WORK"/conflicts* 2>/dev/null | wc -l)
failures=$(cat "$WORK/failures" 2>/dev/null | wc -l)

# Every file parses: the months through the program's reader, the price files likewise.
months=$("$CLI" --data-dir "$DATA" months "$CAR" 2>"$WORK/months.err")
unreadable=$(grep -c . "$WORK/months.err")
published=$("$CLI" --data-dir "$DATA" prices --published ESZ-95 2>&1) || unreadable=$((unreadable + 1))
"$CLI" --data-dir "$DATA" cars >/dev/null 2>&1 || unreadable=$((unreadable + 1))

# Every acknowledged change is there.
lost=0
while read -r kind ym rest; do
    rc=${rest##* }
    ((rc == 0)) || continue
    if [[ $kind == generate ]]; then
        grep -q "^$ym	" <<<"$months" || { echo "lost month $ym"; lost=$((lost + 1)); }
    else
        price=${rest%% *}
        grep -q "^$ym-01	$price$" <<<"$published" || { echo "lost price $ym $price"; lost=$((lost + 1)); }
    fi
done < <(cat "$WORK"/log*)

echo "writers: $WRITERS, seconds: $SECONDS_TO_RUN"
echo "operations: $ops, done: $done_ops, refused for a lock (conflicts): $conflicts, other failures: $failures"
echo "unreadable files: $unreadable, acknowledged changes missing: $lost"
[[ -s $WORK/failures ]] && head -5 "$WORK/failures"
((unreadable == 0 && lost == 0 && failures == 0))
