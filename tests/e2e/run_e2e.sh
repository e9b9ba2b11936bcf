#!/usr/bin/env bash
# End-to-end test of the real editor in a real X window.
#
#   run_e2e.sh <vexlon program> <artefact folder>
#
# Starts its own Xvfb with a window manager (openbox: focus, frames and
# activation are its business, as on a desktop), starts the program on it
# through the xcb platform, and drives it only through X input: xdotool for
# keys and clicks, xclip for the clipboard. Keys go wherever the window
# manager put the focus: the test clicks into a window only where a person
# would have to.
# Every step waits, with a bound, for what it needs to see: a window title,
# a file's bytes, a clipboard value, pixels on the screen. The only fixed
# times are the splash screen's own seconds, which the test measures.
# Screenshots of each stage are kept in the artefact folder.
set -euo pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 <vexlon program> <artefact folder>" >&2
    exit 2
fi
program=$(realpath "$1")
artefacts=$2
for tool in Xvfb openbox xwininfo xprop xdotool xclip import convert; do
    command -v "$tool" >/dev/null || { echo "missing tool: $tool" >&2; exit 1; }
done

rm -rf "$artefacts"
mkdir -p "$artefacts"
artefacts=$(realpath "$artefacts")
work=$(mktemp -d "${TMPDIR:-/tmp}/vexlon-e2e.XXXXXX")
mkdir -p "$work/home/.config" "$work/home/.cache" "$work/home/.local/share" "$work/files"
mkdir -m 700 "$work/runtime"

xvfb_pid=
wm_pid=
app_pid=
xclip_pid=
started_ms=$(date +%s%3N)

now_ms() { date +%s%3N; }
note() { printf '[%6.2fs] %s\n' "$(awk -v t="$(( $(now_ms) - started_ms ))" 'BEGIN { print t / 1000 }')" "$*" >&2; }

# shot NAME [ppm]: a screenshot of the whole screen, kept as an artefact. The
# quick PPM form is for the timed stages; cleanup turns it into PNG.
shot_number=0
shot() {
    shot_number=$((shot_number + 1))
    local file
    file=$(printf '%s/%02d-%s.%s' "$artefacts" "$shot_number" "$1" "${2:-png}")
    # Level 1 compression: a quick shot keeps the waits short.
    import -window root -quality 10 "$file"
    last_shot=$file
}
unshot() { rm -f "$last_shot"; shot_number=$((shot_number - 1)); }

fail() {
    note "FAIL: $*"
    if [ -n "${DISPLAY:-}" ]; then
        shot "failure" 2>/dev/null || true
        note "windows at failure:"
        list_windows >&2 || true
    fi
    if [ -n "${DISPLAY:-}" ]; then
        note "keyboard focus: window $(xdotool getwindowfocus -f 2>&1); active: $(active_window)"
    fi
    # Where the program waits, and which window Qt thinks has the keyboard
    # (0x0: none), when a debugger is at hand.
    if [ -n "$app_pid" ] && kill -0 "$app_pid" 2>/dev/null && command -v gdb >/dev/null; then
        note "the program's main thread at failure:"
        gdb -p "$app_pid" -batch -ex "thread 1" -ex "bt 30" \
            -ex "print (void*)'QGuiApplication::focusWindow()'()" 2>&1 | grep '^#\|^\$' >&2 || true
    fi
    exit 1
}

cleanup() {
    local status=$?
    trap - EXIT
    [ -z "$xclip_pid" ] || kill "$xclip_pid" 2>/dev/null || true
    if [ -n "$app_pid" ] && kill -0 "$app_pid" 2>/dev/null; then
        # The program was started in its own process group, with its help browser.
        kill -- "-$app_pid" 2>/dev/null || true
        sleep 0.5
        kill -KILL -- "-$app_pid" 2>/dev/null || true
    fi
    [ -z "$wm_pid" ] || kill "$wm_pid" 2>/dev/null || true
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
    [ -z "$xvfb_pid" ] || wait "$xvfb_pid" 2>/dev/null || true
    cp "$work"/program*.log "$work/xvfb.log" "$work/openbox.log" "$artefacts/" 2>/dev/null || true
    cp -r "$work/files" "$artefacts/files" 2>/dev/null || true
    local ppm
    for ppm in "$artefacts"/*.ppm; do
        [ -f "$ppm" ] || continue
        convert "$ppm" -quality 10 "${ppm%.ppm}.png" 2>/dev/null && rm -f "$ppm"
    done
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# ---------------------------------------------------------------- helpers

# Prints "id<TAB>name" of each viewable window that has a name.
list_windows() {
    local id name
    for id in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
        name=$(xdotool getwindowname "$id" 2>/dev/null) || continue
        printf '%s\t%s\n' "$id" "$name"
    done
}

# Prints the id of the viewable window titled exactly TITLE, if there is one.
window_titled() {
    list_windows | awk -F'\t' -v title="$1" '$2 == title { print $1; exit }'
}

# Every wait gives up at once when the program has ended.
program_runs() {
    [ -z "$app_pid" ] || running "$app_pid" \
        || fail "the program ended unexpectedly; its output: $(tail -n 20 "$work/program.log")"
}

# wait_for_window TITLE BOUND_SECONDS: prints the window's id.
wait_for_window() {
    local title=$1 deadline=$(( $(now_ms) + $2 * 1000 )) id
    while :; do
        program_runs
        id=$(window_titled "$title")
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        (( $(now_ms) < deadline )) || fail "no window titled '$title' within $2 s"
        sleep 0.05
    done
}

# wait_for_no_window TITLE BOUND_SECONDS
wait_for_no_window() {
    local title=$1 deadline=$(( $(now_ms) + $2 * 1000 ))
    while [ -n "$(window_titled "$title")" ]; do
        program_runs
        (( $(now_ms) < deadline )) || fail "window titled '$title' still there after $2 s"
        sleep 0.05
    done
}

# wait_for_title WINDOW TITLE BOUND_SECONDS: the window's caption becomes TITLE.
wait_for_title() {
    local id=$1 title=$2 deadline=$(( $(now_ms) + $3 * 1000 )) name=
    while :; do
        program_runs
        name=$(xdotool getwindowname "$id" 2>/dev/null) || name=
        [ "$name" != "$title" ] || return 0
        (( $(now_ms) < deadline )) || fail "caption is '$name', expected '$title' (waited $3 s)"
        sleep 0.05
    done
}

# wait_for_file_content FILE EXPECTED_FILE BOUND_SECONDS: byte for byte.
wait_for_file_content() {
    local file=$1 expected=$2 deadline=$(( $(now_ms) + $3 * 1000 ))
    until [ -f "$file" ] && cmp -s "$file" "$expected"; do
        program_runs
        if (( $(now_ms) >= deadline )); then
            note "expected bytes:"; od -c "$expected" >&2
            note "bytes of $file:"; od -c "$file" >&2 2>/dev/null || echo "(no file)" >&2
            fail "$file does not hold the expected bytes after $3 s"
        fi
        sleep 0.05
    done
}

clipboard_text() { timeout 3 xclip -o -selection clipboard 2>/dev/null || true; }

# wait_for_clipboard VALUE BOUND_SECONDS
wait_for_clipboard() {
    local value=$1 deadline=$(( $(now_ms) + $2 * 1000 )) seen=
    while :; do
        program_runs
        seen=$(clipboard_text)
        [ "$seen" != "$value" ] || return 0
        (( $(now_ms) < deadline )) || fail "clipboard holds '$seen', expected '$value' (waited $2 s)"
        sleep 0.1
    done
}

# Whether the process runs (an ended child waiting to be reaped does not).
running() {
    local state
    state=$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null) || return 1
    [ -n "$state" ] && [ "$state" != Z ]
}

# Gives the window the keyboard focus, as a click on it would.
focus() {
    timeout 10 xdotool windowfocus --sync "$1" || fail "window $1 did not take the focus within 10 s"
}

# wait_for_drawn WINDOW NAME LIGHT DARK BOUND_SECONDS: shoots the screen (kept
# as NAME) until the window is drawn: its region LIGHT (WxH+DX+DY from the
# window's corner) is light and its region DARK is dark, where the window
# before drawing still shows what lay under it.
wait_for_drawn() {
    local window=$1 name=$2 light=$3 dark=$4 deadline=$(( $(now_ms) + $5 * 1000 ))
    local light_mean dark_mean
    while :; do
        program_runs
        geometry "$window"
        shot "$name" ppm
        light_mean=$(region_mean "$last_shot" "$light" "$X" "$Y")
        dark_mean=$(region_mean "$last_shot" "$dark" "$X" "$Y")
        holds "$light_mean" '>' 0.6 && holds "$dark_mean" '<' 0.2 && return 0
        (( $(now_ms) < deadline )) \
            || fail "window $name not drawn within $5 s (light part $light_mean, dark part $dark_mean)"
        unshot
        sleep 0.1
    done
}

# region_mean FILE WxH+DX+DY X Y: mean brightness of a region given from X, Y.
region_mean() {
    local size=${2%%+*} offset=${2#*+}
    local dx=${offset%%+*} dy=${offset#*+}
    convert "$1" -crop "${size}+$(($3 + dx))+$(($4 + dy))" +repage -colorspace Gray \
        -format '%[fx:mean]' info:
}

# click_at WINDOW DX DY: a left click DX, DY pixels from the window's corner;
# the pointer then goes back to rest in the screen's corner.
click_at() {
    geometry "$1"
    xdotool mousemove --sync $((X + $2)) $((Y + $3))
    xdotool click 1
    xdotool mousemove --sync 1023 767
}

# enter_path DIALOG PATH: types PATH into a file dialog's "File name" box and
# presses Return, once the box is seen (through the clipboard) to hold it.
enter_path() {
    focus "$1"
    xdotool key ctrl+a
    xdotool type --delay 15 "$2"
    xdotool key ctrl+a ctrl+c
    wait_for_clipboard "$2" 10
    xdotool key Return
}

# Viewable unnamed windows of the program: its open menus.
popup_ids() { xdotool search --onlyvisible --class '^vexlon$' 2>/dev/null | sort || true; }

# press_for_popup KEY: presses KEY and waits until a new menu window shows.
press_for_popup() {
    local before deadline=$(( $(now_ms) + 5000 ))
    before=$(popup_ids)
    xdotool key "$1"
    while [ -z "$(comm -13 <(echo "$before") <(popup_ids))" ]; do
        program_runs
        (( $(now_ms) < deadline )) || fail "no menu opened by $1 within 5 s"
        sleep 0.05
    done
}

# Geometry of a window's client area, frame left out: sets X Y WIDTH HEIGHT.
# (xdotool's own figure counts the window manager's frame twice.)
geometry() {
    eval "$(xwininfo -id "$1" | awk -F: '
        /Absolute upper-left X/ { printf "X=%d\n", $2 }
        /Absolute upper-left Y/ { printf "Y=%d\n", $2 }
        /^ *Width/ { printf "WIDTH=%d\n", $2 }
        /^ *Height/ { printf "HEIGHT=%d\n", $2 }')"
}
# Outer size of a window, the window manager's frame included: sets OUTER_HEIGHT.
outer_height() {
    local extents
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ' ')
    [ -n "$extents" ] || fail "window $1 has no frame extents"
    geometry "$1"
    OUTER_HEIGHT=$(( HEIGHT + $(echo "$extents" | cut -d, -f3) + $(echo "$extents" | cut -d, -f4) ))
}

# "pid name" of each help browser program the editor started.
help_programs() { ps -o pid=,comm= -s "$app_pid" | awk '$2 == "vexlon-help"'; }

# The window the window manager gave the keyboard to.
active_window() { xprop -root _NET_ACTIVE_WINDOW | sed -n 's/.*# *//p' | xargs printf '%d\n' 2>/dev/null; }

# wait_for_active WINDOW BOUND_SECONDS: the window manager activates the window.
wait_for_active() {
    local deadline=$(( $(now_ms) + $2 * 1000 ))
    until [ "$(active_window)" = "$1" ]; do
        program_runs
        (( $(now_ms) < deadline )) || fail "window $1 not active after $2 s (active: $(active_window))"
        sleep 0.05
    done
}

# Fraction of dark pixels (below 50 % grey) in a region of a screenshot.
dark_fraction() { # FILE WxH+X+Y
    convert "$1" -crop "$2" +repage -colorspace Gray -threshold 50% -negate -format '%[fx:mean]' info:
}
# Prints "mean-brightness dark-fraction" of a region, in one quick call.
menu_bar_measures() { # FILE WxH+X+Y
    convert "$1" -crop "$2" +repage -colorspace Gray \( +clone -threshold 50% -negate \) \
        -format '%[fx:mean] ' info:
    echo
}
# Float comparison: holds A OP B, e.g. holds 0.5 '<' 1.
holds() { awk -v a="$1" -v b="$3" "BEGIN { exit !(a $2 b) }"; }

# Ink of the first two text lines in a region: prints "ink1 ink2", where a
# line is a run of at least four rows with dark pixels.
line_inks() { # FILE WxH+X+Y
    convert "$1" -crop "$2" +repage -colorspace Gray -threshold 50% -negate \
        -scale "1x$(cut -dx -f2 <<<"${2%%+*}")!" -depth 16 txt:- |
        awk -F'[()]' 'NR > 1 { print $2 + 0 }' |
        awk '
            function close_band() { if (rows >= 4) inks[++n] = sum; rows = 0; sum = 0 }
            $1 > 0 { rows++; sum += $1; next }
            { close_band() }
            END { close_band(); printf "%d %d\n", inks[1], inks[2] }'
}

# check_frame WINDOW NAME [splash]: the window manager lets the user neither
# minimise, maximise, resize nor make full screen the window; the splash also
# keeps out of the taskbar.
check_frame() {
    local actions='' state='' icon='' action deadline=$(( $(now_ms) + 5000 ))
    until [[ $actions == *_NET_WM_ACTION_CLOSE* ]]; do
        (( $(now_ms) < deadline )) || fail "$2: no allowed actions set within 5 s ($actions)"
        actions=$(xprop -id "$1" _NET_WM_ALLOWED_ACTIONS 2>/dev/null) || actions=
    done
    for action in MINIMIZE MAXIMIZE_HORZ MAXIMIZE_VERT FULLSCREEN RESIZE; do
        [[ $actions != *_NET_WM_ACTION_$action,* && $actions != *_NET_WM_ACTION_$action ]] \
            || fail "$2 can be $action: $actions"
    done
    if [ "${3:-}" = splash ]; then
        state=$(xprop -id "$1" _NET_WM_STATE)
        [[ $state == *_NET_WM_STATE_SKIP_TASKBAR* ]] || fail "$2 shows in the taskbar: $state"
        # No icon in its caption: where a window names none, openbox draws
        # its stock one, so the splash names a fully transparent one.
        icon=$(xprop -id "$1" -notype -f _NET_WM_ICON 32c _NET_WM_ICON | sed -n 's/^_NET_WM_ICON = //p')
        [ -n "$icon" ] || fail "$2 names no icon: openbox draws its stock one in the caption"
        awk -F', ' '{ for (i = 3; i <= NF; i++) if ($i >= 16777216) exit 1 }' <<<"$icon" \
            || fail "$2 names an icon that shows: $(cut -c1-80 <<<"$icon")"
    fi
}

printf_file() { # FILE FORMAT: writes the bytes printf makes of FORMAT
    # shellcheck disable=SC2059 # the format is the point: its escapes make the bytes
    printf "$2" >"$1"
}

# ---------------------------------------------------------------- X server

note "starting Xvfb"
# -noreset: without it the server resets whenever its last client leaves, and
# a client that connects during the reset is turned away.
Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 1024x768x24 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
deadline=$(( $(now_ms) + 15000 ))
until [ -s "$work/display" ] && grep -q '^[0-9]*$' "$work/display"; do
    kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb ended: $(cat "$work/xvfb.log")"
    (( $(now_ms) < deadline )) || fail "Xvfb gave no display number within 15 s"
    sleep 0.05
done
DISPLAY=":$(head -n1 "$work/display")"
export DISPLAY
until xdotool getmouselocation >/dev/null 2>&1; do
    (( $(now_ms) < deadline )) || fail "display $DISPLAY does not answer"
    sleep 0.05
done
note "Xvfb on $DISPLAY"

# A window manager with its default settings, none of the user's.
HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    kill -0 "$wm_pid" 2>/dev/null || fail "openbox ended: $(cat "$work/openbox.log")"
    (( $(now_ms) < deadline )) || fail "openbox did not start within 15 s"
    sleep 0.05
done
note "openbox manages the display"
# The pointer rests in a corner, away from every window.
xdotool mousemove --sync 1023 767

# ---------------------------------------------------------------- start-up

for variable in QT_QPA_PLATFORM WAYLAND_DISPLAY QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS \
    QT_FONT_DPI QT_STYLE_OVERRIDE QT_QPA_PLATFORMTHEME SESSION_MANAGER; do
    unset "$variable"
done

# start_program LOG [ARGUMENT...]: starts the program in its own process group
# (so that cleanup ends its help browser too), with its own scratch folder as
# the working folder, where the file dialogs start.
start_program() {
    note "starting $program"
    launch_ms=$(now_ms)
    (
        cd "$work/files"
        HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_CACHE_HOME="$work/home/.cache" \
            XDG_DATA_HOME="$work/home/.local/share" XDG_RUNTIME_DIR="$work/runtime" \
            QT_QPA_PLATFORM=xcb QTWEBENGINE_DISABLE_SANDBOX=1 LIBGL_ALWAYS_SOFTWARE=1 \
            LANG=C.UTF-8 LC_ALL=C.UTF-8 \
            exec setsid "$program" "${@:2}" >"$work/$1" 2>&1 </dev/null
    ) &
    app_pid=$!
}

# wait_for_end BOUND_SECONDS: the program ends by itself, with status 0.
wait_for_end() {
    local deadline=$(( $(now_ms) + $1 * 1000 )) status=0
    while running "$app_pid"; do
        (( $(now_ms) < deadline )) || fail "the program still runs after $1 s"
        sleep 0.05
    done
    wait "$app_pid" || status=$?
    app_pid=
    (( status == 0 )) || fail "the program ended with status $status"
}

start_program program.log
splash_title='         Vexlon Script Editor Loading...'
main_title='Vexlon Script Editor'
splash=$(wait_for_window "$splash_title" 30)
splash_ms=$(now_ms)
[ -z "$(window_titled "$main_title")" ] || fail "the main window showed before the splash"
# The shot runs alongside, so that the main window's arrival is timed closely.
shot_number=$((shot_number + 1))
import -window root "$(printf '%s/%02d-splash.ppm' "$artefacts" "$shot_number")" &
shot_pid=$!
check_frame "$splash" "the splash" splash

# State B: the main window shows, disabled, behind the splash.
main=$(wait_for_window "$main_title" 8)
main_ms=$(now_ms)
geometry "$main"
main_x=$X main_y=$Y
menu_region="230x14+$((main_x + 2))+$((main_y + 3))"
# The hand-over comes 3 s after the main window shows: this stage is shot and
# measured first, quickly. A menu bar painted disabled is light with grey
# captions, no dark pixels; one painted enabled has black captions. Pixels
# cannot show black captions before the program enables the window.
deadline=$(( $(now_ms) + 2500 ))
while :; do
    shot "main-disabled-behind-splash" ppm
    read -r menu_brightness disabled_dark < <(menu_bar_measures "$last_shot" "$menu_region")
    holds "$menu_brightness" '>' 0.7 && break
    [ -n "$(window_titled "$splash_title")" ] \
        || fail "the splash closed before the main window's menu bar was painted"
    (( $(now_ms) < deadline )) || fail "the main window's menu bar was not painted within 2.5 s"
    unshot
    sleep 0.05
done
splash_still_there=$(window_titled "$splash_title")
wait "$shot_pid"
note "splash shown $(( splash_ms - launch_ms )) ms after start"
note "main window shown $(( main_ms - splash_ms )) ms after the splash"
note "menu bar dark pixels while disabled: $disabled_dark ($(( $(now_ms) - main_ms )) ms after it showed)"
if ! holds "$disabled_dark" '<' 0.002; then
    [ -n "$splash_still_there" ] || fail "the disabled stage was not caught: the first painted shot came after the splash closed"
    fail "the menu bar looks enabled behind the splash (dark fraction $disabled_dark)"
fi

# State C: the splash goes, the main window takes input.
wait_for_no_window "$splash_title" 10
gone_ms=$(now_ms)
note "splash closed $(( gone_ms - main_ms )) ms after the main window showed, $(( gone_ms - splash_ms )) ms after it showed"
# The bounds leave room for how late a busy machine sees a window come or go.
(( main_ms - splash_ms >= 300 && main_ms - splash_ms <= 4000 )) \
    || fail "the main window showed $(( main_ms - splash_ms )) ms after the splash, expected about 1 s"
(( gone_ms - main_ms >= 1500 && gone_ms - main_ms <= 7000 )) \
    || fail "the splash closed $(( gone_ms - main_ms )) ms after the main window showed, expected about 3 s"
(( gone_ms - splash_ms >= 2500 && gone_ms - splash_ms <= 9000 )) \
    || fail "the splash closed $(( gone_ms - splash_ms )) ms after it showed, expected about 4 s"
deadline=$(( $(now_ms) + 3000 ))
while :; do
    shot "main-enabled" ppm
    enabled_dark=$(dark_fraction "$last_shot" "$menu_region")
    holds "$enabled_dark" '>' 0.02 && break
    (( $(now_ms) < deadline )) || fail "the menu bar still looks disabled 3 s after the splash closed ($enabled_dark)"
    unshot
    sleep 0.05
done
note "menu bar dark pixels once enabled: $enabled_dark"
wait_for_active "$main" 5

# The editor's height follows the window's outer height, the window manager's
# frame included: 680 twips less. Its white ground is that high, less its
# 1 px border above and below.
outer_height "$main"
expected_white=$(( (OUTER_HEIGHT * 15 - 680 + 7) / 15 - 2 ))
deadline=$(( $(now_ms) + 5000 ))
while :; do
    shot "editor-height" ppm
    white=$(convert "$last_shot" -crop "1x$HEIGHT+$((X + 200))+$Y" +repage -colorspace Gray -depth 8 txt:- |
        awk -F'[,:]' 'NR > 1 { white = / #FFFFFF /
                           if (white && start == "") start = $2
                           if (!white && start != "" && end == "") end = $2 }
                      END { print end - start }')
    (( white >= expected_white - 2 && white <= expected_white + 2 )) && break
    (( $(now_ms) < deadline )) \
        || fail "the editor's white ground is $white px high; the resize rule gives $expected_white (outer height $OUTER_HEIGHT)"
    unshot
    sleep 0.1
done
note "the editor is as high as the resize rule gives with the frame counted ($white px of white)"

# ---------------------------------------------------------------- typing, a trigger, Save As

files=$work/files
new_script=$files/new-script.vls
# No click first: the editor has the keyboard as soon as the splash is gone.
xdotool type --delay 15 'hello world'
# Paste with an empty clipboard (nothing put anything on it yet) keeps the selection.
xdotool key shift+Home ctrl+v End Return
press_for_popup alt+e   # the Edit menu, Find highlighted
press_for_popup Right   # the Triggers menu, Double Click highlighted
xdotool key Return
shot "typed-and-trigger"
xdotool key ctrl+s
dialog=$(wait_for_window 'Save As' 10)
wait_for_active "$dialog" 10
shot "save-dialog"
enter_path "$dialog" "$new_script"
wait_for_no_window 'Save As' 10
printf_file "$work/expected-new" 'hello world\r\nONTRIGGER=DCLICK\r\n'
wait_for_file_content "$new_script" "$work/expected-new" 10
wait_for_title "$main" "Vexlon$new_script" 10
shot "saved-as"
note "typed at once after the splash; an empty paste kept the selection; Save As wrote $new_script"

# ---------------------------------------------------------------- Open, edit, Save (Windows-1252)

old_script=$files/old-1252.vls
printf_file "$old_script" 'caf\351 \200 na\357ve\r\nline2 \251\r\n'
wait_for_active "$main" 10
xdotool key ctrl+o
dialog=$(wait_for_window 'Open' 10)
enter_path "$dialog" "$old_script"
wait_for_no_window 'Open' 10
wait_for_title "$main" "Vexlon Scriptor   $old_script" 10
shot "opened"
# Back from the dialog, the keys go to the editor again.
wait_for_active "$main" 10
xdotool key ctrl+Home
xdotool type --delay 15 'ok '
xdotool key ctrl+s
printf_file "$work/expected-old" 'ok caf\351 \200 na\357ve\r\nline2 \251\r\n'
wait_for_file_content "$old_script" "$work/expected-old" 10
note "Open, edit, Save kept the Windows-1252 bytes"

# ---------------------------------------------------------------- Find, replace by typing

# find_from_dialog TEXT: opens Find, types TEXT and presses its Find button.
find_from_dialog() {
    xdotool key ctrl+f
    find=$(wait_for_window 'Find....' 10)
    wait_for_active "$find" 10
    check_frame "$find" "the Find dialog"
    xdotool type --delay 15 "$1"
    shot "find-dialog"
    click_at "$find" $((6 + 33)) $((57 + 9))   # "Find": 90, 855 twips; 1005 x 270
    wait_for_no_window 'Find....' 10
    wait_for_active "$main" 10
}

xdotool key ctrl+Home
find_from_dialog 'line2'
xdotool type --delay 15 'LINE'
xdotool key ctrl+s
printf_file "$work/expected-find" 'ok caf\351 \200 na\357ve\r\nLINE \251\r\n'
wait_for_file_content "$old_script" "$work/expected-find" 10
shot "found-and-replaced"
note "Find selected 'line2'; typing replaced it"

# Find again with the match still selected steps on to the next one.
xdotool key ctrl+Home
find_from_dialog 'a'
find_from_dialog 'a'
xdotool type --delay 15 'A'
xdotool key ctrl+s
printf_file "$work/expected-step" 'ok caf\351 \200 nA\357ve\r\nLINE \251\r\n'
wait_for_file_content "$old_script" "$work/expected-step" 10
note "Find, then Find again, stepped from the first 'a' to the second"

# ---------------------------------------------------------------- clipboard

xdotool key ctrl+End Up End shift+Home ctrl+c
wait_for_clipboard 'LINE ©' 10
note "Ctrl+C put the line on the X clipboard"
printf 'pasted' | xclip -quiet -i -selection clipboard >/dev/null 2>&1 &
xclip_pid=$!
wait_for_clipboard 'pasted' 10
# Copy and Cut with nothing selected leave the clipboard as it was.
xdotool key End ctrl+c ctrl+x
sleep 0.3
wait_for_clipboard 'pasted' 1
xdotool key ctrl+v
xdotool key ctrl+s
printf_file "$work/expected-paste" 'ok caf\351 \200 nA\357ve\r\nLINE \251pasted\r\n'
wait_for_file_content "$old_script" "$work/expected-paste" 10
shot "pasted"
note "Ctrl+V pasted the X clipboard's text; Ctrl+C and Ctrl+X with nothing selected kept it"

# With only HTML on the clipboard, no paste path has text to put over the selection.
kill "$xclip_pid" 2>/dev/null || true
printf '<b>rich</b>' | xclip -quiet -i -selection clipboard -t text/html >/dev/null 2>&1 &
xclip_pid=$!
deadline=$(( $(now_ms) + 10000 ))
until timeout 3 xclip -o -selection clipboard -t TARGETS 2>/dev/null | grep -q 'text/html'; do
    (( $(now_ms) < deadline )) || fail "xclip did not offer HTML within 10 s"
    sleep 0.1
done
xdotool key shift+Home shift+Insert ctrl+v End
xdotool type --delay 15 '!'
xdotool key ctrl+s
printf_file "$work/expected-html" 'ok caf\351 \200 nA\357ve\r\nLINE \251pasted!\r\n'
wait_for_file_content "$old_script" "$work/expected-html" 10
note "Shift+Insert and Ctrl+V with only HTML on the clipboard kept the selection"

# ---------------------------------------------------------------- bold

xdotool key ctrl+n
question=$(wait_for_window 'VX New...' 10)
wait_for_active "$question" 10
xdotool key alt+y
wait_for_no_window 'VX New...' 10
wait_for_active "$main" 10
xdotool type --delay 15 'MMMMMMMMMMMM'
xdotool key Return ctrl+b
xdotool type --delay 15 'MMMMMMMMMMMM'
xdotool key Return Return
geometry "$main"
# The first lines of the editor, below the menu bar and the editor's border.
text_region="120x70+$((X + 3))+$((Y + 23))"
deadline=$(( $(now_ms) + 5000 ))
while :; do
    shot "plain-and-bold"
    read -r plain_ink bold_ink < <(line_inks "$last_shot" "$text_region")
    # Here bold takes about 30 % more ink than plain; 15 % more is required.
    if (( plain_ink > 0 && bold_ink > 0 )) && holds "$bold_ink" '>=' "$((plain_ink * 115 / 100))"; then
        break
    fi
    (( $(now_ms) < deadline )) || fail "bold line not heavier: plain ink $plain_ink, bold ink $bold_ink"
    unshot
    sleep 0.1
done
note "ink of the plain line $plain_ink, of the bold line $bold_ink ($(awk -v b="$bold_ink" -v p="$plain_ink" 'BEGIN { printf "%.2f", b / p }') times)"

# ---------------------------------------------------------------- the Font dialog

# A modal dialog with the frame of the Find dialog, and the keyboard at once.
xdotool key ctrl+t
font=$(wait_for_window 'Font' 10)
wait_for_active "$font" 10
[ "$(xdotool getwindowfocus)" = "$font" ] || fail "the Font dialog has no keyboard focus"
check_frame "$font" "the Font dialog"
shot "font-dialog"
xdotool key Escape
wait_for_no_window 'Font' 10
wait_for_active "$main" 10
note "the Font dialog opened with the keyboard and a fixed frame, and Esc closed it"

# ---------------------------------------------------------------- help windows

# Each help window is closed with its own button before the test goes on.
press_for_popup alt+h   # the Help menu, Triggers Explained highlighted
xdotool key Down Return
about=$(wait_for_window 'Vexlon Script Editor' 10)
# Light: the "Alright!" button. Dark: the text's black ground past its last line.
wait_for_drawn "$about" "about-box" 45x14+5+85 90x18+200+58 20
check_frame "$about" "the About box"
click_at "$about" $((28)) $((80 + 12))          # "Alright!": 0, 1200 twips; 855 x 375
wait_for_no_window 'Vexlon Script Editor' 10
note "the About box opened and closed"
wait_for_active "$main" 10
press_for_popup alt+h
xdotool key Return
help=$(wait_for_window 'Vexlon Triggers Explained' 30)
# Light: the "Ok, go away!" button. Dark: the black ground right of it.
wait_for_drawn "$help" "triggers-explained" 117x13+478+381 33x30+612+372 30
check_frame "$help" "the trigger help window"
# It has the keyboard, although its browser needs a window of another kind.
wait_for_active "$help" 10
[ "$(xdotool getwindowfocus)" = "$help" ] || fail "the trigger help window has no keyboard focus"
# It is the help browser program's window; the editor never loads the browser engine.
help_pid=$(xprop -id "$help" _NET_WM_PID | sed -n 's/.*= *//p')
if [ -z "$help_pid" ] || [ "$help_pid" = "$app_pid" ]; then
    fail "the trigger help window belongs to process '$help_pid', the editor is $app_pid"
fi
[ "$(cat "/proc/$help_pid/comm" 2>/dev/null)" = vexlon-help ] \
    || fail "the trigger help window belongs to '$(cat "/proc/$help_pid/comm" 2>/dev/null)', not vexlon-help"
! grep -q 'libQt6WebEngine\|libQt6Quick' "/proc/$app_pid/maps" || fail "the editor loaded the browser engine"
# Back in the main window, the same command brings the same window to the
# front, with the keyboard, and starts no second program.
xdotool windowactivate --sync "$main"
wait_for_active "$main" 10
press_for_popup alt+h
xdotool key Return
wait_for_active "$help" 10
[ "$(xdotool getwindowfocus)" = "$help" ] || fail "the raised trigger help window has no keyboard focus"
shot "triggers-explained-raised"
[ "$(list_windows | awk -F'\t' '$2 == "Vexlon Triggers Explained"' | wc -l)" = 1 ] \
    || fail "a second trigger help window showed"
[ "$(help_programs | wc -l)" = 1 ] || fail "help browser programs: $(help_programs)"
click_at "$help" $((468 + 68)) $((375 + 12))    # "Ok, go away!": 7020, 5625 twips; 2055 x 375
wait_for_no_window 'Vexlon Triggers Explained' 10
deadline=$(( $(now_ms) + 10000 ))
while running "$help_pid"; do
    (( $(now_ms) < deadline )) || fail "the help browser still runs 10 s after its window closed"
    sleep 0.05
done
note "the Triggers Explained window opened with the keyboard, came back to the front with it, and closed with its program"

# Left open, it goes with the editor (see below).
wait_for_active "$main" 10
press_for_popup alt+h
xdotool key Return
help=$(wait_for_window 'Vexlon Triggers Explained' 30)
wait_for_active "$help" 10
xdotool windowactivate --sync "$main"

# ---------------------------------------------------------------- Exit with unsaved edits

# The bold lines were never saved: Ctrl+Q asks first. Esc cancels and the
# document stays; No ends the program without saving.
wait_for_active "$main" 10
xdotool key ctrl+q
question=$(wait_for_window 'VX Exit...' 10)
wait_for_active "$question" 10
shot "exit-question"
xdotool key Escape
wait_for_no_window 'VX Exit...' 10
running "$app_pid" || fail "the program ended although the question was cancelled"
wait_for_active "$main" 10
quit_ms=$(now_ms)
xdotool key ctrl+q
question=$(wait_for_window 'VX Exit...' 10)
wait_for_active "$question" 10
xdotool key alt+n
session=$app_pid
wait_for_end 10
note "with unsaved edits Ctrl+Q asked; Esc kept the program, No ended it $(( $(now_ms) - quit_ms )) ms after Ctrl+Q"
# The help window left open went with it: nothing the editor started runs on.
deadline=$(( $(now_ms) + 10000 ))
while [ -n "$(ps -o pid=,comm= -s "$session")" ]; do
    (( $(now_ms) < deadline )) || fail "processes left by the editor: $(ps -o pid=,comm= -s "$session" | tr '\n' ' ')"
    sleep 0.05
done
[ -z "$(window_titled 'Vexlon Triggers Explained')" ] || fail "the trigger help window outlived the editor"
note "the trigger help window left open ended with the editor, and no process of its program is left"

# ---------------------------------------------------------------- A UTF-8 file on the command line, the clipboard from before the start

# Text copied in another program before the editor starts stays on the
# clipboard, to be pasted into the script.
printf 'pr\303\251-start \342\202\254' | xclip -quiet -i -selection clipboard >/dev/null 2>&1 &
xclip_pid=$!
wait_for_clipboard 'pré-start €' 10
# A relative path, from the working folder; the second file is ignored, and
# stderr says so. The script is UTF-8 with a byte-order mark.
utf8_script=$work/files/started.scp
printf '\357\273\277ONTRIGGER=DCLICK\r\nSAY Invit\303\251\r\n' >"$utf8_script"
start_program program-2.log started.scp ignored.scp
main=$(wait_for_window "Vexlon Scriptor   $utf8_script" 30)
wait_for_no_window "$splash_title" 15
wait_for_active "$main" 10
shot "started-with-a-utf8-file"
grep -q 'ignored: "ignored.scp"' "$work/program-2.log" \
    || fail "stderr did not say that ignored.scp was ignored"
xdotool key ctrl+End ctrl+v
xdotool key ctrl+a ctrl+c
wait_for_clipboard $'ONTRIGGER=DCLICK\nSAY Invité\npré-start €' 10
xdotool key ctrl+s
printf_file "$work/expected-utf8" '\357\273\277ONTRIGGER=DCLICK\r\nSAY Invit\303\251\r\npr\303\251-start \342\202\254\r\n'
wait_for_file_content "$utf8_script" "$work/expected-utf8" 10
note "started with a UTF-8 file: its accented text shows, the clipboard from before the start was pasted, Save kept UTF-8 and the byte-order mark"

# ---------------------------------------------------------------- Open with unsaved edits

xdotool key ctrl+Home
xdotool type --delay 15 'x'
xdotool key ctrl+o
question=$(wait_for_window 'VX Open...' 10)
wait_for_active "$question" 10
shot "open-question"
xdotool key Escape
wait_for_no_window 'VX Open...' 10
wait_for_active "$main" 10
[ -z "$(window_titled 'Open')" ] || fail "the Open dialog showed although the question was cancelled"
xdotool key ctrl+a ctrl+c
wait_for_clipboard $'xONTRIGGER=DCLICK\nSAY Invité\npré-start €' 10
note "Ctrl+O with unsaved edits asked; Cancel kept them"

# ---------------------------------------------------------------- Save after another program rewrote the file

printf 'written by the server\r\n' >"$work/expected-server"
cp "$work/expected-server" "$utf8_script"
xdotool key ctrl+s
question=$(wait_for_window 'VX Save...' 10)
wait_for_active "$question" 10
shot "changed-on-disk-question"
xdotool key alt+n
wait_for_no_window 'VX Save...' 10
sleep 0.3
cmp -s "$utf8_script" "$work/expected-server" || fail "No to the question still wrote over the server's text"
note "Save after another program rewrote the file asked; No kept the other program's text"

# Open with edits, answered No: the rewritten file opens, and with nothing
# edited Exit ends the program without a question.
wait_for_active "$main" 10
xdotool key ctrl+o
question=$(wait_for_window 'VX Open...' 10)
wait_for_active "$question" 10
xdotool key alt+n
dialog=$(wait_for_window 'Open' 10)
enter_path "$dialog" "$utf8_script"
wait_for_no_window 'Open' 10
wait_for_active "$main" 10
xdotool key ctrl+a ctrl+c
wait_for_clipboard 'written by the server' 10
quit_ms=$(now_ms)
xdotool key ctrl+q
wait_for_end 10
[ -z "$(window_titled 'VX Exit...')" ] || fail "Exit asked although nothing was edited"
note "with nothing edited the program ended $(( $(now_ms) - quit_ms )) ms after Ctrl+Q, without a question"
# ---------------------------------------------------------------- A file name that is not UTF-8, Qt's own options

# The name holds the Latin-1 byte 0xE9 in a UTF-8 locale: the program opens
# and saves the file of exactly that name. Qt's -display option is accepted.
latin1_script=$(printf '%s/caf\351.scp' "$work/files")
printf 'old text\r\n' >"$latin1_script"
start_program program-3.log -display "$DISPLAY" "$(printf 'caf\351.scp')"
deadline=$(( $(now_ms) + 30000 ))
until main=$(list_windows | awk -F'\t' -v start="Vexlon Scriptor   $work/files/caf" \
        'index($2, start) == 1 && $2 ~ /scp$/ { print $1; exit }') && [ -n "$main" ]; do
    program_runs
    (( $(now_ms) < deadline )) || fail "the file with byte 0xE9 in its name did not open within 30 s"
    sleep 0.1
done
wait_for_no_window "$splash_title" 15
wait_for_active "$main" 10
shot "started-with-a-latin1-name"
xdotool key ctrl+a ctrl+c
wait_for_clipboard 'old text' 10
xdotool key ctrl+End
xdotool type --delay 15 'new'
xdotool key ctrl+s
printf_file "$work/expected-latin1" 'old text\r\nnew\r\n'
wait_for_file_content "$latin1_script" "$work/expected-latin1" 10
[ "$(find "$work/files" -name 'caf*.scp' | wc -l)" = 1 ] || fail "Save made a second file: $(ls "$work/files")"
note "started with -display and a name holding byte 0xE9: the file opened, and Save wrote it under the same name"

# pick_in_list DIALOG LETTERS SHOWN: picks a file in a file dialog's list with
# the keyboard (Shift+Tab from the name box, its first letters), then Tab
# back to the name box, which shows SHOWN (seen through the clipboard), and
# Return.
pick_in_list() {
    wait_for_active "$1" 10
    xdotool key shift+Tab
    xdotool type --delay 15 "$2"
    xdotool key Tab ctrl+a ctrl+c
    wait_for_clipboard "$3" 10
    xdotool key Return
}

# The dialogs list such names too, with U+FFFD for the byte, and what is
# picked there opens and saves the file of exactly that name.
latin1_vls=$(printf '%s/caf\351.vls' "$work/files")
printf 'picked\r\n' >"$latin1_vls"
xdotool key ctrl+o
dialog=$(wait_for_window 'Open' 10)
pick_in_list "$dialog" caf "$(printf 'caf\357\277\275.vls')"
shot "open-dialog-latin1-name"
wait_for_no_window 'Open' 10
wait_for_active "$main" 10
xdotool key ctrl+a ctrl+c
wait_for_clipboard 'picked' 10
xdotool key ctrl+End
xdotool type --delay 15 'more'
xdotool key ctrl+s
printf_file "$work/expected-picked" 'picked\r\nmore\r\n'
wait_for_file_content "$latin1_vls" "$work/expected-picked" 10
note "picked in the Open dialog, a name holding byte 0xE9 opened, and Save wrote it under the same name"

# Save As over another such name asks first, and Yes replaces that file.
latin1_other=$(printf '%s/d\351j\340.vls' "$work/files")
printf 'to be replaced\r\n' >"$latin1_other"
press_for_popup alt+f   # the File menu
xdotool key a           # Save As
dialog=$(wait_for_window 'Save As' 10)
pick_in_list "$dialog" d "$(printf 'd\357\277\275j\357\277\275.vls')"
deadline=$(( $(now_ms) + 10000 ))
# While the window manager moves the focus, no window is active (0).
until question=$(active_window) && [ "$question" != 0 ] && [ "$question" != "$dialog" ] \
    && [ "$question" != "$main" ]; do
    program_runs
    (( $(now_ms) < deadline )) || fail "Save As over an existing file did not ask first"
    sleep 0.05
done
[ "$(xdotool getwindowname "$question")" = 'Save As' ] || fail "the question is titled '$(xdotool getwindowname "$question")'"
shot "replace-question"
xdotool key alt+y
wait_for_no_window 'Save As' 10
wait_for_file_content "$latin1_other" "$work/expected-picked" 10
[ "$(find "$work/files" -name '*.vls' | wc -l)" = 4 ] || fail "Save As made another file: $(ls "$work/files")"
note "Save As over a name holding bytes 0xE9 and 0xE0, picked in the dialog, asked first and replaced that file"
wait_for_active "$main" 10
xdotool key ctrl+q
wait_for_end 10
note "PASS"
