# Sourced by the release's checks: each check prints "ok: ..." or "FAIL: ..." and the script ends
# with `exit $((failures > 0))`.
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
pass() { echo "ok: $*"; }
