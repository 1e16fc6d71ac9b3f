#!/usr/bin/env bash
# Builds the Debian package from a built tree and checks it as an owner meets it: lintian finds
# no errors, dpkg installs it, the installed program run by a new user with an empty home makes
# that user's folder, answers --help without a display and adds and removes its autostart entry,
# and dpkg removes the program but leaves the user's folder.
#   scripts/check-package.sh [BUILD_DIR]     (default build/, already built; needs root)
# The user, the home and the package are removed again, also when a step fails.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
say() { echo "check-package: $*"; }

if [ "$(id -u)" -ne 0 ]; then
  say "SKIPPED: installing a package and adding a user need root; run as root to check the package"
  exit 0
fi
# One check at a time on a machine: they share the installed package.
exec 9>/tmp/karaoke-check-package.lock
flock 9
if dpkg-query -W -f='${Status}' karaoke 2>/dev/null | grep -q "ok installed"; then
  say "FAILED: a karaoke package is installed already; remove it first (dpkg -r karaoke)"
  exit 1
fi

rm -rf "$build/package"
(cd "$build" && cpack -G DEB > /dev/null)
deb=$(echo "$build"/package/karaoke_*.deb)
say "built $deb ($(du -k "$deb" | cut -f1) KiB)"
lintian --fail-on error "$deb" 2> >(grep -v "root privileges" >&2)
say "lintian: no errors"

user="karaoke-check-$$"
home=$(mktemp -d /tmp/karaoke-check-home.XXXXXX)
cleanup() {
  dpkg-query -W -f='${Status}' karaoke 2>/dev/null | grep -q "ok installed" && dpkg -r karaoke > /dev/null
  id "$user" > /dev/null 2>&1 && userdel "$user"
  rm -rf "$home"
}
trap cleanup EXIT
useradd --no-create-home --home-dir "$home" --shell /usr/sbin/nologin "$user"
chown "$user:" "$home"
as_user() { runuser -u "$user" -- env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 "$@"; }
fail() { say "FAILED: $*"; exit 1; }

dpkg -i "$deb" > /dev/null
say "installed: $(dpkg-query -W -f='${Package} ${Version}' karaoke)"
desktop-file-validate /usr/share/applications/karaoke.desktop
appstreamcli validate --no-net --no-color /usr/share/metainfo/*karaoke*.metainfo.xml > /dev/null

own="$home/.local/share/karaoke"
as_user /usr/bin/karaoke --help | grep -qF "Program folder: $own" || fail "--help does not name $own"
as_user /usr/bin/karaoke --init-only
for name in Setting.ini karaoke.mdb Record Music Photo; do
  [ -e "$own/$name" ] || fail "the first start made no $own/$name"
done
entry="$home/.config/autostart/karaoke.desktop"
as_user /usr/bin/karaoke --autostart on
grep -qx "Exec=/usr/bin/karaoke" "$entry" || fail "$entry does not start /usr/bin/karaoke"
as_user /usr/bin/karaoke --autostart off
[ ! -e "$entry" ] || fail "--autostart off left $entry"
say "the installed program made $own, added and removed $entry"

dpkg -r karaoke > /dev/null
[ ! -e /usr/bin/karaoke ] || fail "dpkg -r left /usr/bin/karaoke"
[ -f "$own/karaoke.mdb" ] || fail "dpkg -r removed the user's catalogue"
say "removed: the program is gone, the user's folder stays"
