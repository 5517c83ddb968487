#!/usr/bin/env bash
# A standard install as its users meet it. Usage: check_install.sh BUILD_DIR SOURCE_DIR WINDOW_CHECK
#  - installed under /usr into a temporary DESTDIR: exactly the expected files;
#  - as unprivileged users ("nobody" and a second one when run as root), each with a fresh
#    HOME: a campaign without a window that fights battles, the window played with its
#    settings and rosters saved and the autosave found (WINDOW_CHECK), the second user
#    starting from the shipped files, not the first one's; the real program's first start;
#  - the desktop entry, AppStream data, file types and manual pages checked by the tools
#    that are present;
#  - the Debian package holding what the install holds, with its dependencies.
set -euo pipefail
build=$(realpath "$1")
source=$(realpath "$2")
window_check=$(realpath "$3")

work=$(mktemp -d)
cleanup() {
  [[ -n ${program_pid:-} ]] && kill "$program_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

dest=$work/dest
DESTDIR=$dest cmake --install "$build" --prefix /usr >/dev/null
bin=$dest/usr/bin
data=$dest/usr/share/zorvane

# What the install should hold: the programs, the shipped data, and the desktop's files.
expected=$({
  printf '%s\n' usr/bin/zorvane usr/bin/zorvane-campaign usr/share/zorvane/background.bmp usr/share/zorvane/splash.bmp \
    usr/share/zorvane/vantor/Vantor.exe usr/share/applications/org.zorvane.Zorvane.desktop \
    usr/share/metainfo/org.zorvane.Zorvane.metainfo.xml usr/share/mime/packages/zorvane.xml \
    usr/share/icons/hicolor/48x48/apps/zorvane.png usr/share/icons/hicolor/256x256/apps/zorvane.png \
    usr/share/man/man6/zorvane.6 usr/share/man/man6/zorvane-campaign.6
  (cd "$source/data" && find . -type f | sed 's|^\./|usr/share/zorvane/|')
} | sort)
held=$(cd "$dest" && find . -type f | sed 's|^\./||' | sort)
diff <(echo "$expected") <(echo "$held") || fail "the install does not hold what it should (< expected, > held)"

# as_user UID HOME: the command prefix that runs as that user with that fresh home (as
# oneself when not root), in $as. The prefix execs, so a command started in the background
# keeps its process id.
as_user() {
  mkdir -p "$2"
  as=()
  if [[ $(id -u) == 0 ]]; then
    chown "$1:$1" "$2"
    as=(setpriv --reuid="$1" --regid="$1" --clear-groups)
  fi
  as+=(env -i HOME="$2" PATH=/usr/bin:/bin LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen)
}
first=65534 second=65533
[[ $(id -u) == 0 ]] || first=$(id -u) second=$(id -u)

# A campaign without a window from the installed tree: the shipped settings, the stand-in game.
as_user "$first" "$work/home1"
"${as[@]}" "$bin/zorvane-campaign" "$data/maps/duel-8.aim" --seed 1 --max-actions 80 --out "$work/home1/run" \
  >"$work/campaign.txt" || fail "zorvane-campaign: $(cat "$work/campaign.txt")"
grep -Eq '^turn [0-9]+, actions 80, battles [1-9]' "$work/campaign.txt" || fail "no battle fought: $(tail -5 "$work/campaign.txt")"
for f in blog.txt campaign.sav history.csv zorvtmp.txt; do [[ -s $work/home1/run/$f ]] || fail "zorvane-campaign wrote no $f"; done

# The window, by two users in turn: each starts from the shipped files and keeps their own.
# The check runs from a copy that those users can reach wherever the build tree lies.
cp "$window_check" "$work/window_check"
window_check=$work/window_check
for user in "$first:home1" "$second:home2"; do
  as_user "${user%%:*}" "$work/${user#*:}"
  "${as[@]}" ZORVANE_INSTALLED_BIN="$bin" "$window_check" --gtest_brief=1 >"$work/window.txt" 2>&1 || fail "the installed window as user ${user%%:*}: $(cat "$work/window.txt")"
done
mine=.local/share/zorvane
for home in home1 home2; do
  [[ -s $work/$home/$mine/autosave.sav && $(sed -n 36p "$work/$home/$mine/config.dat") == $'500\r' ]] ||
    fail "$home has not kept its own autosave and settings"
done
if [[ $(id -u) == 0 ]]; then
  [[ $(stat -c '%a %u' "$work/home2/$mine") == "700 $second" ]] || fail "the second user's folder is open to others"
fi

# The real program's first start with a map: it finds its data and starts the log in the
# user's folder. It runs until stopped.
as_user "$first" "$work/home3"
"${as[@]}" "$bin/zorvane" "$data/maps/duel-8.aim" >"$work/program.txt" 2>&1 &
program_pid=$!
for _ in $(seq 600); do
  [[ -s $work/home3/$mine/blog.txt ]] && break
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.1
done
[[ -s $work/home3/$mine/blog.txt && -s $work/home3/$mine/config.dat ]] ||
  fail "the installed zorvane did not start a campaign in the user's folder: $(cat "$work/program.txt")"
kill "$program_pid"
wait "$program_pid" 2>/dev/null || true
program_pid=

# The desktop's files, checked by the tools that are present.
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$dest/usr/share/applications/org.zorvane.Zorvane.desktop" || fail "desktop-file-validate"
else
  echo "desktop-file-validate is not installed: the desktop entry is not checked"
fi
if command -v appstreamcli >/dev/null; then
  # The screenshot's address is not fetched: no network here.
  appstreamcli validate --no-net "$dest/usr/share/metainfo/org.zorvane.Zorvane.metainfo.xml" >"$work/appstream.txt" ||
    fail "appstreamcli: $(cat "$work/appstream.txt")"
else
  echo "appstreamcli is not installed: the AppStream data are not checked"
fi
if command -v update-mime-database >/dev/null; then
  cp -r "$dest/usr/share/mime" "$work/mime"
  update-mime-database "$work/mime"
  grep -q '^50:application/x-zorvane-map:\*\.aim$' "$work/mime/globs2" &&
    grep -q '^50:application/x-zorvane-save:\*\.sav$' "$work/mime/globs2" &&
    grep -q 'application/x-zorvane-save' "$work/mime/magic" || fail "the file types are not registered: $(cat "$work/mime/globs2")"
fi
if command -v man >/dev/null; then
  for page in zorvane zorvane-campaign; do
    warnings=$(MANWIDTH=80 man --warnings -l "$dest/usr/share/man/man6/$page.6" 2>&1 >/dev/null)
    [[ -z $warnings ]] || fail "man $page: $warnings"
  done
fi

# The Debian package: what the install holds, and what it needs to run.
cpack -G DEB -B "$work/package" --config "$build/CPackConfig.cmake" >"$work/cpack.txt" || fail "cpack: $(cat "$work/cpack.txt")"
deb=$(echo "$work"/package/zorvane_*_*.deb)
[[ -f $deb ]] || fail "no zorvane_*.deb: $(cat "$work/cpack.txt")"
packed=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./||' | sort)
diff <(echo "$expected") <(echo "$packed") || fail "the package does not hold what the install does (< install, > package)"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins fonts-dejavu-core; do
  [[ ",$depends," =~ [,\ ]$needed[\ ,] ]] || fail "the package does not depend on $needed: $depends"
done
echo "the install, its users, its desktop files and its package are as they should be"
