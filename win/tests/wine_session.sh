# Sourced by the Wine tests. Sets up a private prefix inside the build tree and keeps one
# wineserver up for the whole test (many short Wine processes back to back can otherwise race
# the server's shutdown); the server is stopped when the test's shell exits.
# Expects: wine_dir (holding wine64 and wineserver) and prefix. Provides: wine64.

export WINEPREFIX=$prefix
export WINEDEBUG=-all
export WINESERVER=$wine_dir/wineserver
# No prompts for the .NET and HTML runtimes when the prefix is created.
export WINEDLLOVERRIDES="mscoree,mshtml="
wine64=$wine_dir/wine64

wine_session_stop() {
  "$WINESERVER" -k 2>/dev/null || true
}

mkdir -p "$WINEPREFIX"
"$WINESERVER" -p
trap wine_session_stop EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  started=$SECONDS
  "$wine64" wineboot --init >/dev/null 2>&1
  echo "created the Wine prefix in $((SECONDS - started)) s"
fi
