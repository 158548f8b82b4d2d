# Shared by the checker scripts (sourced): judges one test binary's run under a checker.
# report_checked_run TARGET EXIT_CODE LOG FINDING_REGEX CHECKER_NAME
# Counts the log's lines matching FINDING_REGEX, prints the findings and failed tests when
# there are any or the run failed, and appends a line to the caller's `summary` array
# (setting the caller's `status` to 1 on failure).
report_checked_run() {
  local target=$1 rc=$2 log=$3 regex=$4 checker=$5 findings passed
  findings=$(grep -E "$regex" "$log" | grep -vc "== Warning")
  passed=$(grep -oE "\[  PASSED  \] [0-9]+" "$log" | grep -oE "[0-9]+$" || true)
  if [[ $rc -ne 0 || $findings -ne 0 ]]; then
    grep -E -A25 "$regex|\[  FAILED  \]" "$log" | head -80
    summary+=("$target: FAILED (exit $rc, $findings $checker findings; log: $log)")
    status=1
  else
    summary+=("$target: ok, ${passed:+$passed tests passed, }no $checker findings")
  fi
}
