#!/usr/bin/env bash
# The rooms of the source tree (its top folders; a room's own tests/ folder counts as part of it)
# and which import which, read from their #include "room/..." lines; then each room's layer:
# one more than the highest room it imports. Tests that sit in tests/ are left out: they may
# reach any room. Exits non-zero when two rooms import each other, directly or round a loop.
# Usage: scripts/rooms.sh
set -euo pipefail
cd "$(dirname "$0")/.."
python3 - <<'EOF'
import os, re, sys
rooms = ["platform", "settings", "readers", "glres", "sprites", "audio", "oscilloscope", "scene", "plugin",
         "config_tool", "host", "tools", "linux", "fuzz"]
rooms = [r for r in rooms if os.path.isdir(r)]
imports = {r: {} for r in rooms}
include = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/')
for room in rooms:
    for folder, _, files in os.walk(room):
        for name in files:
            if not name.endswith((".h", ".cpp")):
                continue
            for line in open(os.path.join(folder, name), errors="replace"):
                m = include.match(line)
                if m and m.group(1) in imports and m.group(1) != room:
                    imports[room].setdefault(m.group(1), set()).add(os.path.join(folder, name))
layer, visiting = {}, set()
def depth(room):
    if room in layer:
        return layer[room]
    if room in visiting:
        print("rooms: a loop through " + room)
        sys.exit(1)
    visiting.add(room)
    layer[room] = 1 + max((depth(r) for r in imports[room]), default=0)
    visiting.discard(room)
    return layer[room]
for room in rooms:
    depth(room)
for room in sorted(rooms, key=lambda r: (layer[r], r)):
    below = ", ".join(f"{r} ({len(f)} files)" for r, f in sorted(imports[room].items(), key=lambda i: (layer[i[0]], i[0])))
    print(f"{layer[room]:2}  {room:13} -> {below or '-'}")
print(f"{max(layer.values())} layers")
EOF
