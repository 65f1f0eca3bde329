#!/usr/bin/env bash
# tools/layer-check on small trees of its own: it passes includes that point down, whether they name their
# folder or only the header, and finds each that points up, in either form.
#     LayerCheckTest.sh PATH_OF_LAYER_CHECK
set -euo pipefail
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
failed=0
fail() { echo "FAILED: $1"; failed=1; }
file() { mkdir -p "$tree/$(dirname "$1")"; printf '%s\n' "${@:2}" >"$tree/$1"; }
run() { out=$(bash "$check" "$@" "$tree" 2>&1) && code=0 || code=$?; }
expect() { grep -qF -- "$1" <<<"$out" || fail "no \"$1\" in:"$'\n'"$out"; }

# A tree whose includes all point down, bare and with their folder, Qt's headers and a generated one beside.
file platform/Clock.h '#pragma once' '#include <QDateTime>'
file platform/gui/FormWidget.h '#include "Clock.h"' '#include <QWidget>'
file core/Items.h '#include "Clock.h"'
file core/Items.cpp '#include "Items.h"' '#include "platform/Clock.h"' '#include <QtCore/QString>'
file dialogs/dlgDays.h '#include "core/Items.h"' '#include "FormWidget.h"' '#include "platform/gui/FormWidget.h"'
file orbin/frmFloater.cpp '#include "dlgDays.h"' '#include "Items.h"' '#include "frmFloater.moc"'
file tests/core/ItemsTest.cpp '#include "Items.h"' '#include "../orbin/Fixture.h"'
file tests/orbin/Fixture.h '#include "orbin/frmFloater.h"'
run --includes
[ "$code" = 0 ] || fail "a tree whose includes point down failed:"$'\n'"$out"

# Includes that point up, in both forms, and the window modules of Qt below the window side.
file core/Game.cpp '#include "frmFloater.h"' '#include "orbin/frmFloater.h"' '#include <QtWidgets/QWidget>'
file orbin/frmFloater.h '#pragma once'
file platform/Clock.cpp '#include "Items.h"' '#include "../core/Items.h"'
file platform/gui/FormWidget.cpp '#include "dialogs/dlgDays.h"'
file dialogs/dlgDays.cpp '  #  include "frmFloater.h"'
file tests/support/Env.h '#include "dlgDays.h"'
run --includes
[ "$code" = 1 ] || fail "includes that point up passed (exit $code):"$'\n'"$out"
expect 'core/Game.cpp:1: includes "frmFloater.h" (orbin)'
expect 'core/Game.cpp:2: includes "orbin/frmFloater.h" (orbin)'
expect 'core/Game.cpp:3: includes <QtWidgets/QWidget>'
expect 'platform/Clock.cpp:1: includes "Items.h" (core)'
expect 'platform/Clock.cpp:2: includes "../core/Items.h" (core)'
expect 'platform/gui/FormWidget.cpp:1: includes "dialogs/dlgDays.h" (dialogs)'
expect 'dialogs/dlgDays.cpp:1: includes "frmFloater.h" (orbin)'
expect 'tests/support/Env.h:1: includes "dlgDays.h" (dialogs)'
[ "$(grep -c ': includes ' <<<"$out")" = 8 ] || fail "other faults than the eight:"$'\n'"$out"

# A header name two folders hold, included bare; a folder with no place among the layers.
rm "$tree"/core/Game.cpp "$tree"/platform/Clock.cpp "$tree"/platform/gui/FormWidget.cpp "$tree"/dialogs/dlgDays.cpp \
   "$tree"/tests/support/Env.h
file dialogs/Clock.h '#pragma once'
file orbin/Face.cpp '#include "Clock.h"' '#include "platform/Clock.h"'
file extras/Tool.cpp '#include "Items.h"'
run --includes
[ "$code" = 1 ] || fail "an ambiguous include and a folder with no layer passed:"$'\n'"$out"
expect 'orbin/Face.cpp:1: includes "Clock.h", which several folders hold (dialogs platform)'
expect 'core/Items.h:1: includes "Clock.h", which several folders hold (dialogs platform)'
expect 'extras/Tool.cpp: the folder extras has no place among the layers'
expect 'layer-check: 4 fault(s)'

# The build's lists: a file that no CMakeLists.txt above it names.
rm -rf "$tree"/*
file CMakeLists.txt 'add_subdirectory(core)'
file core/CMakeLists.txt 'add_library(qv_core STATIC)' 'target_sources(qv_core PRIVATE' '  Items.cpp' '  Items.h' \
     '  sub/Deep.h' ')' 'set(MAIN ${CMAKE_CURRENT_SOURCE_DIR}/Main.cpp) # Forgotten.cpp'
file core/Items.cpp
file core/Items.h
file core/Main.cpp
file core/sub/Deep.h
file core/Forgotten.cpp
file core/sub/Lost.h
run --sources
[ "$code" = 1 ] || fail "a file named in no list passed:"$'\n'"$out"
expect 'core/Forgotten.cpp: named in no list of core/CMakeLists.txt'
expect 'core/sub/Lost.h: named in no list of core/CMakeLists.txt'
[ "$(grep -c 'named in no list' <<<"$out")" = 2 ] || fail "other files reported than the two:"$'\n'"$out"

exit $failed
