#!/usr/bin/env bash
# Takes the README's pictures under Xvfb, each cut to its window:
#   docs/main-idle.png       the main window after start-up
#   docs/main-after-run.png  after a batch run over a real Windows program
#   docs/manual.png          the manual interface after Translate over an untouched copy
#   docs/editor.png          the translation text file Translate opened in the editor
#   docs/settings-3d.png     the settings window with its running 3D view
#   scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A start-up folder with the shipped data and a translator record, and a program file to
# translate twice: in place by the batch run, and an untouched copy through the manual interface.
mkdir -p "$work/start" "$work/files" "$work/copy"
cp "$build/share/vokra/"* "$work/start/"
{ printf 'VOKRA team'; head -c 118 /dev/zero; head -c 256 /dev/zero; } > "$work/start/VOKRA.DAT"
scripts/make-program.sh "$work/files/sample.exe"
cp "$work/files/sample.exe" "$work/copy/sample.exe"

cat > "$work/drive.sh" <<DRIVE
set -euo pipefail
export XDG_RUNTIME_DIR=$work
# grab WINDOW OUT.png: the window's area of the screen.
grab() {
    eval "\$(xdotool getwindowgeometry --shell "\$1")"
    sleep 1
    "$build/bin/vokra-grab" "$root/docs/\$2" "\$X" "\$Y" "\$WIDTH" "\$HEIGHT"
}
# choose FILE: types it into the file dialog that has just opened.
choose() {
    local dialog
    dialog=\$(xdotool search --sync --onlyvisible --name '^Open')
    sleep 1
    xdotool windowfocus --sync "\$dialog" type --delay 10 "\$1"
    xdotool key Return
    sleep 1
}
cd "$work/start"
"$build/bin/vokra" &
program=\$!
main=\$(xdotool search --sync --name ' VOKRA v2.1')
grab "\$main" main-idle.png
xdotool windowfocus --sync "\$main" key space            # Load has the focus
choose "$work/files/sample.exe"
xdotool windowfocus --sync "\$main" key Tab Tab space    # Settings, then Start
sleep 2
grab "\$main" main-after-run.png

xdotool mousemove --window "\$main" 325 233 click 1      # Manual
manual=\$(xdotool search --sync --onlyvisible --name '手動介面')
sleep 1
xdotool mousemove --window "\$manual" 400 18 click 1     # Load
choose "$work/copy/sample.exe"
xdotool mousemove --window "\$manual" 400 43 click 1     # Translate
editor=\$(xdotool search --sync --onlyvisible --name 'VOKRA 字典編輯器')
grab "\$editor" editor.png
xdotool windowfocus --sync "\$editor" key ctrl+q
sleep 1
grab "\$manual" manual.png
xdotool mousemove --window "\$manual" 400 117 click 1    # End
sleep 1

xdotool mousemove --window "\$main" 325 183 click 1      # Settings
settings=\$(xdotool search --sync --onlyvisible --name '設定介面')
sleep 2
grab "\$settings" settings-3d.png
kill "\$program"
DRIVE
xvfb-run -a -s '-screen 0 800x500x24' bash "$work/drive.sh"
echo "wrote docs/main-idle.png, main-after-run.png, manual.png, editor.png and settings-3d.png"
