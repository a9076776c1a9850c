#!/usr/bin/env bash
# The Linux plug-in exports exactly the seven entry points of the host's plug-in interface.
set -euo pipefail
expected="FinaleExtensionEnumerate
FinaleExtensionEnumerate_UTF16
FinaleExtensionGetMenuStatus
FinaleExtensionInit
FinaleExtensionInvoke
FinaleExtensionTerminate
FinaleExtensionVersion"
actual=$(nm -D --defined-only "$1" | awk '{print $3}' | sort)
if [ "$actual" != "$expected" ]; then
  echo "exports of $1 differ from the seven entry points:"
  diff <(echo "$expected") <(echo "$actual") || true
  exit 1
fi
echo "exports of $1: the seven entry points"
