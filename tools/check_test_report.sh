#!/bin/sh
# Accepts a GoogleTest XML report only when it is complete and every test ran and passed.
# A skipped test is a check that did not happen (a missing tool, a missing demo game): the
# prerequisites provide everything the tests need, so a skip means a broken setup. A runner
# killed under Wine can end with status 0, so the report, not the status, decides.
# Usage: tools/check_test_report.sh REPORT.xml NAME
report=$1
name=$2
if ! grep -q '<testsuites .*failures="0".*errors="0"' "$report" 2>/dev/null; then
  echo "$name: no complete, failure-free report ($report)"
  exit 1
fi
if grep -q -e '<skipped' -e 'result="skipped"' "$report"; then
  echo "$name: skipped tests count as failures:"
  grep -o '<testcase name="[^"]*"[^>]*result="skipped"[^>]*classname="[^"]*"' "$report" |
    sed 's/<testcase name="\([^"]*\)".*classname="\([^"]*\)"/  \2.\1/'
  exit 1
fi
