#!/usr/bin/env bash
# Every fuzz target for a short fixed time (10 s each) over its seed corpus;
# fails on any crash, sanitizer report, model mismatch, hang or memory blow-up.
exec "$(dirname "${BASH_SOURCE[0]}")/fuzz.sh" --smoke "$@"
