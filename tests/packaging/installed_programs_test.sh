#!/usr/bin/env bash
# Installs the build into a staging folder and converts a real clip with the
# installed companion: it must find its engine link and Theora tool in its own
# program folder, wherever it is started from.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
programs="$work/root/usr/lib/quillmore"
for file in quillmore quillmore-cli tolvane mervane tessaline.html; do
    [ -e "$programs/$file" ] || { echo "missing in the program folder: $file"; exit 1; }
done
for program in quillmore quillmore-cli; do
    [ "$(readlink "$work/root/usr/bin/$program")" = "../lib/quillmore/$program" ] ||
        { echo "usr/bin/$program does not lead into the program folder"; exit 1; }
done
desktop-file-validate "$work/root/usr/share/applications/quillmore.desktop"

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
mkdir -p "$HOME"
ffmpeg -v error -f lavfi -i testsrc=size=160x120:rate=25 -f lavfi -i sine -t 1 \
    -c:v mpeg4 -c:a aac "$work/clip.mp4"
cd "$work"
"$work/root/usr/bin/quillmore-cli" convert --format 710 --set DestOutputFolderOpt=399 \
    --set "DestSpecifiedFolder=$work/frames" clip.mp4
ls "$work/frames"/clip_*.jpg >/dev/null
# The optimised OGG formats run through the Theora tool beside the companion.
"$work/root/usr/bin/quillmore-cli" convert --format 135 --set DestOutputFolderOpt=399 \
    --set "DestSpecifiedFolder=$work/ogg" clip.mp4
[ -s "$work/ogg/clip.ogg" ]
