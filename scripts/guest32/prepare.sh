# Runs once in the guest while its image is made (not a snapshot: what it does stays in the
# image): configures the 32-bit packages that could not be configured on a 64-bit-only build
# machine, and makes the 32-bit Wine prefix that every test run then starts from.
set -e
export HOME=/root
echo "prepare: configuring the i386 packages"
dpkg --configure -a || dpkg --configure -a
dpkg --audit
echo "prepare: the 32-bit Wine prefix"
export WINEARCH=win32 WINEPREFIX=/opt/vzrm/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p /opt/vzrm
Xvfb :5 -screen 0 1024x768x24 -nolisten tcp -wr >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=:5
for _ in $(seq 100); do [ -e /tmp/.X11-unix/X5 ] && break; sleep 0.1; done
wine wineboot -i >/dev/null 2>&1 || true
# Without a window manager every DestroyWindow of a top-level window stalls otherwise.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
wineserver -w
kill "$xvfb" 2>/dev/null || true
test -f "$WINEPREFIX/system.reg"
test -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll"
echo "prepare: done"
