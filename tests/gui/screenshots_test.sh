#!/usr/bin/env bash
# The guide's pictures are current: the script that makes them runs (offscreen, from this
# build) and none is blank; every picture it makes is in docs/screenshots, and every picture
# the guide and the README show exists there.
set -euo pipefail
root="$1" build="$2"
out="$build/screenshots"
rm -rf "$out"
KENVO_BUILD="$build" KENVO_SCREENSHOT_PLATFORM=offscreen "$root/scripts/screenshots.sh" "$out"
status=0
for picture in "$out"/*.png; do
    name=$(basename "$picture")
    [ -f "$root/docs/screenshots/$name" ] || { echo "docs/screenshots/$name is missing: run scripts/screenshots.sh"; status=1; }
done
for doc in "$root/docs/user-guide.md" "$root/README.md"; do
    for shown in $(grep -o '(\(docs/\)\?screenshots/[a-z_-]*\.png)' "$doc" | tr -d '()'); do
        [ -f "$(dirname "$doc")/$shown" ] || { echo "$doc shows $shown, which does not exist"; status=1; }
    done
done
exit "$status"
