#!/usr/bin/env bash
# Three computers on one data folder (each a host name of its own through ROVANTA_HOSTNAME and a
# HOME of its own) for five minutes:
#   gep-1, gep-2: rovanta-cli writing months of the demo car (its car lock) and published prices
#                 (the folder lock) as fast as they can;
#   gep-3:        from the first quarter to the third, a window's session on the same car
#                 (tools/soak_session): holds the car's lock, renews it, writes a month's private km
#                 every second. Halfway it loses the network (stops renewing and writing); gep-1's
#                 window, watching the lock stand still, takes it over and goes on writing; then
#                 gep-3 comes back and must write nothing more.
# Afterwards every file must parse and every change a writer was told was done must be there.
# Lost updates: acknowledged changes missing, plus writes gep-3 was let do after losing its lock.
# Not part of the test suite.
#
#   tools/soak_shared.sh [build/bin/rovanta-cli] [SECONDS] [build/tools/soak_session]
set -u
CLI=$(realpath "${1:-build/bin/rovanta-cli}")
SECONDS_TO_RUN=${2:-300}
SESSION=$(realpath "${3:-$(dirname "$CLI")/../tools/soak_session}")
WORK=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$WORK"' EXIT
DATA="$WORK/adat"
ROVANTA_HOSTNAME=gep-0 "$CLI" demo "$DATA" >/dev/null || { echo "demo failed"; exit 2; }
CAR=RVN-482

writer() {
    local w=$1 n=0 end=$((SECONDS + SECONDS_TO_RUN))
    export HOME="$WORK/home$w" XDG_CONFIG_HOME="$WORK/home$w/config" ROVANTA_HOSTNAME="gep-$w"
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

for w in 1 2; do writer "$w" & done
# The session holds the car from the first quarter to the third; the command lines get it before and after.
sleep $((SECONDS_TO_RUN / 4))
HOME="$WORK/home3" ROVANTA_HOSTNAME=gep-3 "$SESSION" session "$DATA" "$CAR" $((SECONDS_TO_RUN / 2)) 2100 "$WORK/freeze3" \
    >"$WORK/session3" 2>&1 &
sleep $((SECONDS_TO_RUN / 4))
touch "$WORK/freeze3"
HOME="$WORK/home1" ROVANTA_HOSTNAME=gep-1-ablak "$SESSION" takeover "$DATA" "$CAR" $((SECONDS_TO_RUN / 4)) 2200 \
    >"$WORK/session1" 2>&1 &
while ! grep -q '^takeover' "$WORK/session1" 2>/dev/null && ((SECONDS < SECONDS_TO_RUN)); do sleep 1; done
cut=$(wc -l <"$WORK/session3")
rm -f "$WORK/freeze3"
wait

ops=$(cat "$WORK"/log* | wc -l)
done_ops=$(cat "$WORK"/log* | awk '$NF == 0' | wc -l)
conflicts=$(cat "$WORK"/conflicts* 2>/dev/null | wc -l)
failures=$(cat "$WORK/failures" 2>/dev/null | wc -l)
session_ok=$(grep -c '^ok' "$WORK/session1" "$WORK/session3" | awk -F: '{s += $2} END {print s}')
took_over=$(grep -c '^takeover' "$WORK/session1")

# Every file parses: the months through the program's reader, the price files likewise.
months=$(ROVANTA_HOSTNAME=gep-0 "$CLI" --data-dir "$DATA" months "$CAR" 2>"$WORK/months.err")
unreadable=$(grep -c . "$WORK/months.err")
published=$(ROVANTA_HOSTNAME=gep-0 "$CLI" --data-dir "$DATA" prices --published ESZ-95 2>&1) || unreadable=$((unreadable + 1))
ROVANTA_HOSTNAME=gep-0 "$CLI" --data-dir "$DATA" cars >/dev/null 2>&1 || unreadable=$((unreadable + 1))
facts=$(tr -d '\r' <"$DATA/Users/$CAR/honapok.rvd")

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
# A session's month holds its last acknowledged km.
for s in 1 3; do
    awk '$1 == "ok" {last[$2 "," $3] = $4} END {for (k in last) print k, last[k]}' "$WORK/session$s" |
        while read -r key km; do
            grep -q "^$key,0,$km,0$" <<<"$facts" || echo "lost private km $key $km"
        done
done >"$WORK/lostfacts"
lost=$((lost + $(wc -l <"$WORK/lostfacts")))
# gep-3 lost its lock: not one write of it may have gone through after that.
late=$(tail -n +$((cut + 1)) "$WORK/session3" | grep -c '^ok')
lost=$((lost + late))

echo "computers: 3, seconds: $SECONDS_TO_RUN, takeover done: $took_over"
echo "command line operations: $ops, done: $done_ops, refused for a lock (conflicts): $conflicts, other failures: $failures"
echo "session writes acknowledged: $session_ok, writes let through after losing the lock: $late"
echo "unreadable files: $unreadable, lost updates: $lost"
[[ -s $WORK/failures ]] && head -5 "$WORK/failures"
head -5 "$WORK/lostfacts"
((unreadable == 0 && lost == 0 && failures == 0 && took_over == 1))
