#!/usr/bin/env bash
# Proves the Debian package on a fresh Debian 12 machine: builds it, has lintian check it,
# installs it, checks its desktop files, manual page and bash completion, has an ordinary user add
# a recipe through the installed program's window, and starts the program from its menu entry. It installs packages and creates a user, so run it as
# root in a throwaway root, e.g. ../shared/tools/fresh-machine 'bash scripts/prove-package.sh'.
# Prints PASS/FAIL lines; exits non-zero when any check fails.
# The user's sessions run this file's functions in another shell, as the user:
# shellcheck disable=SC2317,SC2153
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
app_id=org.saporium.saporium
user=${SAPORIUM_PROVE_USER:-cook}
recipe="Proof Rye Crispbread"
category=Breads
shots=${SAPORIUM_PROVE_SHOTS:-/tmp/prove-package}

failures=0
pass() { echo "PASS: $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
finish() {
  echo "== $failures check(s) failed"
  [ "$failures" -eq 0 ]
  exit
}

[ "$(id -u)" -eq 0 ] || { echo "FAIL: run as root (it installs the package and creates a user)"; exit 2; }
export DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8

echo "== Building the package"
log=$(mktemp)
if bash "$root/scripts/package.sh" >"$log" 2>&1 && out=$(tail -n 1 "$log") \
    && [ -n "$(ls "$out"/saporium_*.deb 2>/dev/null)" ]; then
  pass "scripts/package.sh built $(cd "$out" && ls saporium_*.deb)"
else
  tail -n 40 "$log"
  fail "scripts/package.sh built no package"
  finish
fi
echo "   Depends: $(dpkg-deb -f "$out"/saporium_*.deb Depends)"

# What the checks below drive and read the program with.
apt-get install -y -qq --no-install-recommends lintian man-db bash-completion desktop-file-utils appstream \
  xvfb xauth xdotool x11-utils sqlcipher imagemagick file libgtk-3-bin >"$log" 2>&1 \
  || { tail -n 20 "$log"; fail "installing the checking tools"; }

report=$(lintian "$out"/saporium_*.deb 2>&1)
if printf '%s\n' "$report" | grep -q '^[EW]: '; then
  fail "lintian finds errors or warnings:"
  printf '%s\n' "$report" | grep '^[EW]: ' | sed 's/^/   /'
else
  pass "lintian: no error and no warning"
fi

echo "== Installing it"
if (cd "$out" && apt-get install -y -qq ./saporium_*.deb >"$log" 2>&1) \
    && dpkg-query -W -f='${Status}' saporium | grep -q 'install ok installed'; then
  pass "apt-get install ./saporium_*.deb"
else
  tail -n 20 "$log"
  fail "apt-get install ./saporium_*.deb"
  finish
fi

desktop=/usr/share/applications/$app_id.desktop
metainfo=/usr/share/metainfo/$app_id.metainfo.xml
report=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$report" ] \
  && pass "desktop-file-validate $desktop" || fail "desktop-file-validate $desktop: $report"
report=$(appstreamcli validate --no-net "$metainfo" 2>&1) \
  && [ "$(printf '%s\n' "$report" | grep -v '^✔ Validation was successful.$' | grep -c .)" -eq 0 ] \
  && pass "appstreamcli validate --no-net $metainfo" || fail "appstreamcli validate $metainfo: $report"
for n in 16 32 48 128 256; do
  icon=/usr/share/icons/hicolor/${n}x${n}/apps/$app_id.png
  file "$icon" 2>/dev/null | grep -q "PNG image data, $n x $n," \
    && pass "icon $icon" || fail "icon $icon is missing or not $n x $n"
done
for f in /usr/bin/saporium /usr/share/saporium/help.htm /usr/share/saporium/Recipe.mdb \
    /usr/share/doc/saporium/copyright /usr/share/doc/saporium/changelog.Debian.gz; do
  [ -s "$f" ] && pass "installed $f" || fail "$f is not installed"
done

page=$(man -w saporium 2>&1)
[ "$page" = /usr/share/man/man1/saporium.1.gz ] && pass "man -w saporium: $page" || fail "man -w saporium: $page"
# man prints groff's complaints on stderr; a readable page has none, and shows the synopsis.
shown=$(MANWIDTH=80 man saporium 2>"$log")
if [ ! -s "$log" ] && grep -q '^SYNOPSIS' <<<"$shown" && grep -q 'saporium import \[--database FILE\]' <<<"$shown"; then
  pass "man saporium shows the page"
else
  fail "man saporium: $(head -n 5 "$log")"
fi

# Completes the words of a command line as bash does for the user (bash-completion loading the
# installed file on demand), in a folder holding one recipe file; prints the candidates, one line,
# sorted.
completing_in=$(mktemp -d)
touch "$completing_in/Spare.mdb" "$completing_in/notes.txt"
complete_line() {
  (cd "$completing_in" && bash -c '
    source /usr/share/bash-completion/bash_completion
    _completion_loader saporium
    COMP_LINE=$1 COMP_POINT=${#1}
    read -ra COMP_WORDS <<<"$1"
    [[ $1 == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    $(complete -p saporium | sed -n "s/.* -F \([^ ]*\) .*/\1/p") saporium "${COMP_WORDS[COMP_CWORD]}" \
      "${COMP_WORDS[COMP_CWORD - 1]}"
    printf "%s\n" "${COMPREPLY[@]}" | sort | xargs' _ "$1")
}
loaded=$(bash -c 'source /usr/share/bash-completion/bash_completion; _completion_loader saporium; complete -p saporium' 2>&1)
[ "$loaded" = "complete -F _saporium saporium" ] && pass "bash completion loads: $loaded" \
  || fail "bash completion for saporium does not load: $loaded"
# The commands and options each command's usage lists are what completion offers, and the first
# word may also be the recipe file to open.
commands=$(saporium --help | sed -n 's/^  or:  saporium \([a-z-]*\) .*/\1/p' | grep -vx COMMAND | sort | xargs)
got=$(complete_line "saporium ")
wanted=$(printf '%s\n' "$commands" Spare.mdb | tr ' ' '\n' | sort | xargs)
[ -n "$commands" ] && [ "$got" = "$wanted" ] && pass "completion offers the commands and recipe files: $got" \
  || fail "completion offers '$got' for the commands and recipe files '$wanted'"
for command in $commands; do
  listed=$(saporium "$command" --help | sed -n 's/^  \(--[a-z-]*\).*/\1/p' | sort | xargs)
  got=$(complete_line "saporium $command --")
  [ "$got" = "$listed" ] && pass "completion offers $command's options: $got" \
    || fail "completion offers '$got' for $command's options '$listed'"
done
got=$(complete_line "saporium export --format ")
[ "$got" = "folder html jsonld mealmaster pdf" ] && pass "completion offers the export formats" \
  || fail "completion offers '$got' for --format"

id -u "$user" >/dev/null 2>&1 || useradd -m -s /bin/bash "$user" || { fail "cannot create user $user"; finish; }
home=$(getent passwd "$user" | cut -d: -f6)
runtime=$(mktemp -d)
chown "$user:" "$runtime" && chmod 700 "$runtime"
mkdir -p "$shots" && chmod 777 "$shots"

# A display number no X server has taken. xvfb-run -a looks at lock files only, and a throwaway
# root shares the machine's abstract sockets: a client would reach the machine's server of that
# number, which refuses it.
free_display() {
  local n
  for n in $(seq 99 199); do
    [ -e "/tmp/.X$n-lock" ] || grep -q "@/tmp/.X11-unix/X$n\$" /proc/net/unix || { echo "$n"; return 0; }
  done
  return 1
}

# Runs a bash function as the user, under a fresh X server with no window manager, where the
# program's frameless 649 x 434 window opens at the screen's top-left.
as_user_on_x() {
  local display
  display=$(free_display) || { echo "FAIL: no free X display number from 99 to 199"; return 1; }
  runuser -u "$user" -- env -i HOME="$home" USER="$user" LANG=C.UTF-8 PATH=/usr/bin:/bin \
    XDG_RUNTIME_DIR="$runtime" RECIPE="$recipe" CATEGORY="$category" SHOTS="$shots" APP_ID="$app_id" \
    xvfb-run -n "$display" -s "-screen 0 1024x768x24 -nolisten tcp" \
    bash -c "$(declare -f user_helpers "$1"); user_helpers; $1"
}

# Shared by the sessions: waiting on windows by polling, bounded so that a window that never comes
# (or never goes) fails instead of hanging.
user_helpers() {
  ok() { echo "PASS: $*"; }
  bad() { echo "FAIL: $*"; import -window root "$SHOTS/fail-$(date +%s%N).png" 2>/dev/null; failed=1; }
  failed=0
  windows() { xdotool search --onlyvisible --pid "$1" 2>/dev/null; }
  # main_window PID: waits for the process's main window and prints its id.
  main_window() {
    local w
    for _ in $(seq 200); do
      w=$(xdotool search --onlyvisible --pid "$1" --name '^Saporium V' 2>/dev/null | head -n 1)
      [ -n "$w" ] && { echo "$w"; return 0; }
      kill -0 "$1" 2>/dev/null || return 1
      sleep 0.1
    done
    return 1
  }
  # new_box PID KNOWN...: waits for a window of the process not among KNOWN (a message box) and
  # prints its id; ${TRIES:-200} polls a tenth of a second apart.
  new_box() {
    local pid=$1 w
    shift
    for _ in $(seq "${TRIES:-200}"); do
      for w in $(windows "$pid"); do
        printf '%s\n' "$@" | grep -qx "$w" || { echo "$w"; return 0; }
      done
      kill -0 "$pid" 2>/dev/null || return 1
      sleep 0.1
    done
    return 1
  }
  # gone PID WINDOW: waits for the window to leave the screen.
  gone() {
    for _ in $(seq 200); do windows "$1" | grep -qx "$2" || return 0; sleep 0.1; done
    return 1
  }
  # answer WINDOW KEY...: types keys into a box.
  answer() { timeout 10 xdotool windowfocus --sync "$1" && xdotool key --delay 100 "${@:2}"; }
  wait_exit() {
    for _ in $(seq 200); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
    return 1
  }
}

first_start() {
  saporium >"$SHOTS/first-start.log" 2>&1 &
  pid=$!
  main=$(main_window "$pid") || { bad "first start: no window"; kill "$pid" 2>/dev/null; exit 1; }
  if box=$(new_box "$pid" "$main"); then
    [ "$(xdotool getwindowname "$box")" = Saporium ] && ok "first start: a Saporium box names the data file" \
      || bad "first start: the box is titled '$(xdotool getwindowname "$box")'"
    import -window root "$SHOTS/first-start.png"
    answer "$box" Return
    gone "$pid" "$box" || bad "first start: the box did not close on Return"
  else
    bad "first start: no box names the data file"
  fi

  timeout 10 xdotool windowfocus --sync "$main"
  xdotool mousemove --window "$main" 215 45 click 1             # ADD
  xdotool mousemove --window "$main" 90 85 click 1              # the first category, Breads
  xdotool mousemove --window "$main" 395 89 click 1             # the recipe name box
  xdotool type --delay 30 "$RECIPE"
  import -window root "$SHOTS/typed.png"
  xdotool mousemove --window "$main" 570 90 click 1             # Save
  if question=$(new_box "$pid" "$main"); then
    # The question's default button is No: Shift+Tab moves to Yes, space presses it.
    answer "$question" shift+Tab space
    if added=$(new_box "$pid" "$main" "$question"); then
      import -window root "$SHOTS/added.png"
      answer "$added" Return                                    # "Recipe Added"
      gone "$pid" "$added" || bad "adding: the box saying so stayed open"
      ok "adding: Save, Yes and the box saying it was added"
    else
      bad "adding: no box said the recipe was added"
    fi
  else
    bad "adding: Save asked no question"
  fi
  xdotool mousemove --window "$main" 634 16 click 1             # the close caption button
  if wait_exit "$pid"; then
    wait "$pid"
    rc=$?
    [ "$rc" -eq 0 ] && ok "the program closed from its caption button" || bad "the program exited with $rc"
  else
    bad "the program did not close from its caption button"
    kill "$pid"
  fi
  exit "$failed"
}

from_menu() {
  if command -v gtk-launch >/dev/null; then
    gtk-launch "$APP_ID" >"$SHOTS/menu.log" 2>&1 &
    how="gtk-launch $APP_ID"
  else
    bash -c "$(sed -n 's/^Exec=//p' "/usr/share/applications/$APP_ID.desktop" | head -n 1)" >"$SHOTS/menu.log" 2>&1 &
    how="the menu entry's Exec line"
  fi
  main=
  for _ in $(seq 200); do
    main=$(xdotool search --onlyvisible --name '^Saporium V' 2>/dev/null | head -n 1)
    [ -n "$main" ] && break
    sleep 0.1
  done
  pid=$([ -n "$main" ] && xdotool getwindowpid "$main")
  if [ -z "$pid" ] || [ "$(readlink "/proc/$pid/exe")" != /usr/bin/saporium ]; then
    bad "$how started no /usr/bin/saporium window"
    exit 1
  fi
  ok "$how started /usr/bin/saporium (pid $pid)"
  # The desktop ties the window to its menu entry by this class.
  wanted=$(sed -n 's/^StartupWMClass=//p' "/usr/share/applications/$APP_ID.desktop")
  class=$(xprop -id "$main" WM_CLASS | sed -n 's/^WM_CLASS(STRING) = ".*", "\(.*\)"$/\1/p')
  [ -n "$wanted" ] && [ "$class" = "$wanted" ] && ok "the window's class is the menu entry's StartupWMClass, $class" \
    || bad "the window's class is '$class', the menu entry's StartupWMClass '$wanted'"
  # The first-start box would follow the window at once; two seconds of nothing is enough.
  TRIES=20 new_box "$pid" "$main" >/dev/null && bad "a second start showed the first-start box again" \
    || ok "a second start opens the window alone"
  import -window root "$SHOTS/from-menu.png"
  xdotool mousemove --window "$main" 634 16 click 1
  wait_exit "$pid" || { bad "the program started from the menu did not close"; kill "$pid"; }
  exit "$failed"
}

# session FUNCTION: runs it as the user on a fresh X server and passes on its PASS/FAIL lines; a
# session that fails without saying why fails here.
session() {
  local output rc
  output=$(as_user_on_x "$1" 2>&1)
  rc=$?
  while IFS= read -r line; do
    case $line in PASS:*) pass "${line#PASS: }" ;; FAIL:*) fail "${line#FAIL: }" ;; ?*) echo "   $line" ;; esac
  done <<<"$output"
  [ "$rc" -eq 0 ] || grep -q '^FAIL:' <<<"$output" || fail "the $1 session exited with $rc"
}

echo "== As $user: a first start, adding a recipe through the window"
session first_start

db=$home/.local/share/saporium/Recipe.mdb
if [ -f "$db" ] && [ "$(stat -c %U "$db")" = "$user" ]; then
  pass "$db exists and belongs to $user"
else
  fail "$db is missing or not $user's"
fi
names=$(sqlcipher "$db" "PRAGMA key = 'qmtrwz47195306';" "SELECT Name FROM $category;" 2>&1)
if printf '%s\n' "$names" | sed 's/ *$//' | grep -qxF "$recipe"; then
  pass "$db holds '$recipe' in $category"
else
  fail "$db has no '$recipe' in $category: $names"
fi

echo "== As $user: starting it from its menu entry"
session from_menu

echo "   screenshots: $shots"
finish
