#!/usr/bin/env bash
# Headless demo: shows the projects of the demo workspace of the application
# folder given as $1 (default build/bin), with their protocol and description.
set -euo pipefail
bin="${1:-build/bin}"
root="$bin/ProjectsASCII"
if [ ! -d "$root" ]; then
    echo "demo: no workspace at $root (run 'make demo' to create it)" >&2
    exit 1
fi

# Value of key $3 in section $2 of INI file $1 (section and key ignore letter
# case, like the tool's own INI reader; the file is Windows-1252 with CR LF).
ini_value() {
    iconv -f WINDOWS-1252 -t UTF-8 "$1" 2>/dev/null | tr -d '\r' | awk -v sec="$2" -v key="$3" '
        BEGIN { sec = tolower(sec); key = tolower(key) }
        /^[ \t]*\[/ { s = $0; sub(/^[ \t]*\[/, "", s); sub(/\].*$/, "", s); gsub(/^[ \t]+|[ \t]+$/, "", s); insec = (tolower(s) == sec); next }
        insec && index($0, "=") > 0 {
            k = substr($0, 1, index($0, "=") - 1); v = substr($0, index($0, "=") + 1)
            gsub(/^[ \t]+|[ \t]+$/, "", k); gsub(/^[ \t]+|[ \t]+$/, "", v)
            if (tolower(k) == key) { print v; exit }
        }'
}

echo "PilmoraASCII demo workspace: $root"
printf '%-24s %-6s %-16s %s\n' "Project" "Prot" "Gateway address" "Description"
count=0
for dir in "$root"/*/; do
    [ -d "$dir" ] || continue
    name="$(basename "$dir")"
    ini="$dir/Project.ini"
    [ -f "$ini" ] || continue
    prot="$(ini_value "$ini" Project Prot)"
    [ -n "$prot" ] || continue
    desc="$(ini_value "$ini" Project Desc)"
    ip=""
    [ -f "$dir/$prot.ini" ] && ip="$(ini_value "$dir/$prot.ini" ASCII IP)"
    printf '%-24s %-6s %-16s %s\n' "$name" "$prot" "${ip:--}" "$desc"
    count=$((count + 1))
done
echo "$count project(s)."

# Sends a project's download file to the simulated gateway on loopback UDP with
# `pilmora send`, polls its signals with `pilmora poll`, then stops the
# simulator. Only 127.0.0.1 is ever used here.
send_to_simulator() {
    local project="$1" sim="$bin/pilmora-gateway-sim"
    [ -x "$sim" ] || return 0
    local ip
    ip="$(ini_value "$project/$(ini_value "$project/Project.ini" Project Prot).ini" ASCII IP)"
    if [ -n "$ip" ] && [ "$ip" != "127.0.0.1" ]; then
        echo "demo: $project names the gateway address $ip; the demo only talks to 127.0.0.1" >&2
        return 1
    fi
    local fifo pid where status=0
    fifo="$(mktemp -u)"
    mkfifo "$fifo"
    "$sim" --udp 127.0.0.1:0 --project "$project" >"$fifo" 2>/dev/null &
    pid=$!
    read -r where <"$fifo"
    rm -f "$fifo"
    echo
    echo "\$ pilmora-gateway-sim --udp 127.0.0.1:0 --project $project    # $where"
    echo "\$ pilmora send $project --udp ${where#udp }"
    "$pilmora" --home "$bin" send "$project" --udp "${where#udp }" --timeout 20 2>&1 | tr '\r' '\n' || status=$?
    echo "(exit $status)"
    # On line again: every signal asked once, the gateway's lines as they
    # arrive, then the table of values.
    echo
    echo "\$ pilmora poll $project --udp ${where#udp }"
    status=0
    "$pilmora" --home "$bin" poll "$project" --udp "${where#udp }" --timeout 20 2>&1 | tr '\r' '\n' || status=$?
    echo "(exit $status)"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

# The LON and MBS6 demo projects: checked and compiled into their download
# files by the command-line tool, in the workspace copy (added there when the
# workspace was made before the project existed).
pilmora="$bin/pilmora"
data="$(cd "$(dirname "$0")/.." && pwd)/data/demo"
if [ -x "$pilmora" ]; then
    for demo in DemoLON DemoMBS6; do
        project="$root/$demo"
        if [ ! -d "$project" ] && [ -d "$data/$demo" ]; then cp -r "$data/$demo" "$project"; fi
        [ -d "$project" ] || continue
        echo
        echo "\$ pilmora check $project"
        status=0
        "$pilmora" --home "$bin" check "$project" 2>&1 | tr '\r' '\n' || status=$?
        echo "(exit $status)"
        echo
        at="2026/12/06 07:00:00"
        echo "\$ pilmora generate $project --at \"$at\""
        status=0
        "$pilmora" --home "$bin" generate "$project" --at "$at" 2>&1 | tr '\r' '\n' || status=$?
        echo "(exit $status)"
        # The simulated gateway takes the file.
        send_to_simulator "$project"
    done
fi
