#!/bin/sh
# The build's include paths hold the layers: a layer's code compiles with the
# headers of its own layer and those below, and an include of a higher
# layer's header is not found.
#   layer_includes.sh COMPILER LAYER_INCLUDE_DIR
set -eu
compiler=$1
layers=$2
status=0

compiles() {  # LAYER HEADER: whether a file of LAYER that includes HEADER compiles
  printf '#include "%s"\n' "$2" | "$compiler" -std=c++20 -fsyntax-only -x c++ -I"$layers/$1" - \
    >/dev/null 2>&1
}

for allowed in "base base/utf8.h" "format base/utf8.h" "format format/room_record.h" \
  "world format/room_record.h" "tools world/world.h" "dialogues world/world.h" \
  "cli tools/check/world_check.h" "app dialogues/settings.h"; do
  set -- $allowed
  if ! compiles "$1" "$2"; then
    echo "$1 cannot include $2, which lies below it"
    status=1
  fi
done
for refused in "base terminal/console.h" "files format/room_record.h" \
  "format world/world.h" "world tools/check/world_check.h" \
  "tools dialogues/settings.h" "dialogues tools/check/world_check.h" \
  "dialogues app/program.h" "cli app/program.h"; do
  set -- $refused
  if compiles "$1" "$2"; then
    echo "$1 can include $2, against the layers"
    status=1
  fi
done
exit $status
