# Sourced by the Wine tests. Sets up a private prefix inside the build tree and keeps one
# wineserver up for the whole test (many short Wine processes back to back can otherwise race
# the server's shutdown); the server is stopped when the test's shell exits, and stops by itself
# 30 s after its last client should the shell be killed. A server already up for the prefix is
# reused.
# Expects: wine_dir (holding wine64 and wineserver) and prefix. Provides: wine_run COMMAND...,
# which runs a Windows program and gives up on it after five minutes.

export WINEPREFIX=$prefix
export WINEDEBUG=-all
export WINESERVER=$wine_dir/wineserver
# No prompts for the .NET and HTML runtimes when the prefix is created; and a game folder's own
# dinput8.dll (the plug-in loader) in place of Wine's, as a player's setup must say too.
export WINEDLLOVERRIDES="mscoree,mshtml=;dinput8=n,b"

wine_run() {
  timeout --kill-after=10 300 "$wine_dir/wine64" "$@"
}

wine_session_stop() {
  "$WINESERVER" -k 2>/dev/null || true
}

mkdir -p "$WINEPREFIX"
"$WINESERVER" -p30 2>/dev/null || true
trap wine_session_stop EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  started=$SECONDS
  wine_run wineboot --init >/dev/null 2>&1
  echo "created the Wine prefix in $((SECONDS - started)) s"
fi
