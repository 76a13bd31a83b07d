#!/usr/bin/env bash
# Takes the README's pictures of the main window under Xvfb: idle after start-up, and after a
# finished batch run over a real Windows program. Writes docs/main-idle.png and
# docs/main-after-run.png.
#   scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A start-up folder with the dictionary and a translator record, and a program file to translate.
mkdir -p "$work/start" "$work/files"
cp "$build/share/vokra/message.txt" "$work/start/"
{ printf 'VOKRA team'; head -c 118 /dev/zero; head -c 256 /dev/zero; } > "$work/start/VOKRA.DAT"
scripts/make-program.sh "$work/files/sample.exe"

cat > "$work/drive.sh" <<DRIVE
set -euo pipefail
cd "$work/start"
"$build/bin/vokra" &
program=\$!
main=\$(xdotool search --sync --name ' VOKRA v2.1')
sleep 1
"$build/bin/vokra-grab" "$root/docs/main-idle.png"
xdotool windowfocus --sync "\$main" key space            # Load has the focus
dialog=\$(xdotool search --sync --onlyvisible --name '^Open')
sleep 1
xdotool windowfocus --sync "\$dialog" type --delay 10 "$work/files/sample.exe"
xdotool key Return
sleep 1
xdotool windowfocus --sync "\$main" key Tab Tab space    # Settings, then Start
sleep 2
"$build/bin/vokra-grab" "$root/docs/main-after-run.png"
kill "\$program"
DRIVE
xvfb-run -a -s '-screen 0 520x400x24' bash "$work/drive.sh"
echo "wrote docs/main-idle.png and docs/main-after-run.png"
