#!/usr/bin/env bash
# Renders the committed PNG icons from the SVG. Run it after changing the SVG
# (needs rsvg-convert from librsvg2-bin); the build only installs the results.
set -euo pipefail
cd "$(dirname "$0")"
id=example.vexlon.ScriptEditor
for size in 16 24 32 48 64 128 256 512; do
    mkdir -p "${size}x${size}"
    rsvg-convert --width "$size" --height "$size" "$id.svg" --output "${size}x${size}/$id.png"
done
