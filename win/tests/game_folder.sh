# Sourced by the Wine tests that run the plug-in. Makes a game folder as a player's looks after
# installing: the script host's package (ScriptHookFrontier.dll and its plug-in loader
# dinput8.dll), the player package as installed from the build (Holdout.asi, Holdout.ini and
# the rest), and Host.exe in place of the game's executable. The Wine session prefers the
# folder's dinput8.dll to Wine's own (see wine_session.sh), as a player's Wine setup must.
# Provides: make_game_folder BUILD_DIR BIN_DIR FOLDER (FOLDER must not exist yet).
make_game_folder() {
  local build=$1 bin=$2 folder=$3
  mkdir "$folder"
  cmake --install "$build" --prefix "$folder" >/dev/null
  cp "$bin/Host.exe" "$bin/ScriptHookFrontier.dll" "$bin/dinput8.dll" "$folder/"
}
