#!/usr/bin/env bash
# The library exports exactly the given C symbols and nothing mangled.
set -euo pipefail
library=$1
shift
actual=$(nm -D --defined-only "$library" | awk '{print $3}' | sort)
expected=$(printf '%s\n' "$@" | sort)
if [ "$actual" != "$expected" ]; then
  echo "exports differ"; echo "expected:"; echo "$expected"; echo "actual:"; echo "$actual"
  exit 1
fi
echo "exports: $(echo $actual)"
