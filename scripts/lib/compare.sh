# Sourced by the scripts that compare the Windows build's results with the Linux build's.
#   compare_results LEFT RIGHT LABEL FILE...
# compares the folder LEFTproject with RIGHTproject and each LEFTFILE with RIGHTFILE, byte for
# byte; prints "same: LABEL", or "DIFFERENT: LABEL" and the first differences, and fails then.
compare_results() {
  local left=$1 right=$2 label=$3 f same=1
  shift 3
  diff -r "${left}project" "${right}project" >"${left}tree.diff" || same=0
  for f in "$@"; do cmp -s "$left$f" "$right$f" || same=0; done
  if [ "$same" = 1 ]; then
    echo "same: $label"
    return 0
  fi
  echo "DIFFERENT: $label"
  for f in "$@"; do diff -a "$left$f" "$right$f" | head -20 || true; done
  head -20 "${left}tree.diff"
  return 1
}
