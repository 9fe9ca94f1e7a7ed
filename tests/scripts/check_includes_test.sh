#!/usr/bin/env bash
# Runs scripts/check-includes on scratch trees: a tree that follows the folder rules passes, and
# each kind of broken rule (upward include, app <-> cli, export <-> cli, relative path upward,
# Qt in the engine) fails and names the offending line.
#   check_includes_test.sh PATH/TO/check-includes
set -euo pipefail

check=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

# tree NAME: a scratch tree that follows every rule.
tree() {
  local root="$scratch/$1"
  mkdir -p "$root"/{platform,chartlib/util,design,waveform,review,app,cli,export,tests}
  printf '#pragma once\n#include <string>\n' >"$root/platform/value.h"
  printf '#include "value.h"\n' >"$root/platform/value.cpp"
  printf '#include <QImage>\n#include "platform/value.h"\n' >"$root/platform/raster_surface.cpp"
  printf '#include "platform/value.h"\n' >"$root/chartlib/util/record_files.cpp"
  printf '#include "chartlib/util/record_files.h"\n' >"$root/design/calculation.cpp"
  printf '#include "design/calculation.h"\n#include "../platform/value.h"\n' \
    >"$root/waveform/samples.cpp"
  printf '#include <QWidget>\n#include "waveform/samples.h"\n' >"$root/app/main_window.cpp"
  printf '#include "waveform/samples.h"\n' >"$root/review/review.cpp"
  printf '#include "review/review.h"\n' >"$root/cli/report.cpp"
  printf '#include "review/export_request.h"\n' >"$root/export/export_main.cpp"
  printf '#include "export/design_sheet.h"\n' >>"$root/app/main_window.cpp"
  printf '#include "app/main_window.h"\n#include "cli/report.h"\n' >"$root/tests/any_test.cpp"
  echo "$root"
}

# expect STATUS NAME ROOT [TEXT]: check-includes on ROOT exits with STATUS (and says TEXT).
expect() {
  local status=0 output
  output=$("$check" "$3" 2>&1) || status=$?
  if [[ $status -ne $1 ]] || [[ -n "${4:-}" && "$output" != *"$4"* ]]; then
    echo "FAILED: $2 (exit $status, wanted $1${4:+ and \"$4\"})"
    echo "$output"
    failures=$((failures + 1))
  else
    echo "ok: $2"
  fi
}

expect 0 "a tree that follows the rules" "$(tree clean)"

root=$(tree upward)
printf '#include "design/calculation.h"\n' >>"$root/chartlib/util/record_files.cpp"
expect 1 "chartlib including design" "$root" "chartlib/util/record_files.cpp:2"

root=$(tree sideways)
printf '#include "cli/report.h"\n' >>"$root/app/main_window.cpp"
expect 1 "app including cli" "$root" "app/ must not include cli/"

root=$(tree helper)
printf '#include "cli/flyback_calc.h"\n' >>"$root/export/export_main.cpp"
expect 1 "export including cli" "$root" "export/ must not include cli/"

root=$(tree engine)
printf '#include "cli/report.h"\n' >>"$root/review/review.cpp"
expect 1 "review including cli" "$root" "review/ must not include cli/"

root=$(tree qt_review)
printf '#include <QString>\n' >>"$root/review/review.cpp"
expect 1 "Qt in the review" "$root" "includes no Qt header"

root=$(tree relative)
printf '#include "../waveform/samples.h"\n' >>"$root/design/calculation.cpp"
expect 1 "design including waveform by a relative path" "$root" "design/ must not include waveform/"

root=$(tree qt)
printf '#include <QString>\n' >>"$root/design/calculation.cpp"
expect 1 "Qt in the engine" "$root" "includes no Qt header"

root=$(tree qt_runtime)
printf '#include <QtCore/qglobal.h>\n' >>"$root/platform/value.cpp"
expect 1 "Qt in the runtime outside its Qt surface" "$root" "platform/value.cpp:2"

exit $((failures > 0))
