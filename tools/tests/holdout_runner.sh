# Sourced by the tests that run the holdout command either as the Linux build or as holdout.exe
# under Wine, so that one test holds both to the same answers. Arguments, given to `source`:
#   native HOLDOUT                       the Linux command
#   wine WINE_DIR PREFIX HOLDOUT_EXE     holdout.exe in a Wine session (see wine_session.sh)
# Provides: runner (native or wine), runner_arguments (how many arguments were the runner's; shift them away),
# run_holdout ARGS... (the command's output with the CRs of Windows line ends removed, and its
# exit status), and runner_stop (ends the Wine session, if any; call it on exit).
runner=${1:-}
case "$runner" in
  native)
    holdout_command=("$2")
    runner_arguments=2
    runner_stop() { :; }
    ;;
  wine)
    wine_dir=$2 prefix=$3
    source "$(dirname "${BASH_SOURCE[0]}")/../../win/tests/wine_session.sh"
    holdout_command=(wine_run "$4")
    runner_arguments=4
    runner_stop() { wine_session_stop; }
    ;;
  *)
    echo "holdout_runner.sh: expected 'native HOLDOUT' or 'wine WINE_DIR PREFIX HOLDOUT_EXE'" >&2
    exit 2
    ;;
esac

run_holdout() {
  local output status=0
  output=$("${holdout_command[@]}" "$@") || status=$?
  printf '%s\n' "${output//$'\r'/}"
  return "$status"
}
