#!/usr/bin/env bash
# Fails when a file under src/<folder> includes a project header of a folder
# that its layer may not use. Layers, lowest first:
#   common < {platform, widgets} < link < {sheets, controller, screen}
#     < {waveview, editors, measure, panel, memwave, replay} < shell
# A folder may include its own layer's folder and every lower layer, except
# that folders of one layer do not include each other; exceptions: editors
# may include controller; waveview, measure, memwave and replay may include
# sheets; the view folders (waveview, measure, panel, memwave, replay) may
# include screen, the shared drawing, which itself uses nothing above link.
# The shared controls (widgets) serve the windows only: link never includes them.
# A folder's model/ or paint/ subfolder (plain code, tested without a window)
# never includes its folder's windows (the headers directly in src/<folder>),
# widgets or sheets, nor the shell's state (common/ShellState.h) or the
# settings mirror (common/DSOSettings.h): the windows pass the UI language and
# the live values in.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A layer=(
  [common]=0 [platform]=1 [widgets]=1 [link]=2 [sheets]=3 [controller]=3 [screen]=3
  [waveview]=4 [editors]=4 [measure]=4 [panel]=4 [memwave]=4 [replay]=4 [shell]=5
)
allowed() {  # allowed <from> <to>
  local from=$1 to=$2
  [[ $from == "$to" ]] && return 0
  [[ -z ${layer[$to]+x} ]] && return 0  # not a layered folder
  (( ${layer[$to]} < ${layer[$from]} )) || return 1
  [[ $to == widgets ]] && (( ${layer[$from]} < 3 )) && return 1
  # Within the upper layers, only the listed folders below are reachable.
  if (( ${layer[$to]} == 3 )); then
    case "$from:$to" in
      editors:controller|waveview:sheets|measure:sheets|memwave:sheets|replay:sheets|shell:*) return 0 ;;
      waveview:screen|measure:screen|panel:screen|memwave:screen|replay:screen) return 0 ;;
      *) return 1 ;;
    esac
  fi
  return 0
}

model_allowed() {  # model_allowed <from> <included path>
  local from=$1 path=$2
  case "$path" in
    widgets/*|sheets/*|common/ShellState.h|common/DSOSettings.h) return 1 ;;
    "$from"/*/*) return 0 ;;
    "$from"/*) return 1 ;;  # a window of its own folder
  esac
  return 0
}

bad=0
while IFS= read -r file; do
  from=${file#src/}; from=${from%%/*}
  [[ -z ${layer[$from]+x} ]] && continue
  sub=${file#src/"$from"/}; sub=${sub%%/*}
  [[ $sub == model || $sub == paint ]] || sub=
  while IFS= read -r hit; do
    line=${hit%%:*}
    path=$(sed -E 's/^[0-9]+:[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/' <<<"$hit")
    to=${path%%/*}
    if ! allowed "$from" "$to"; then
      echo "$file:$line: $from may not include $to" >&2
      bad=1
    elif [[ -n $sub ]] && ! model_allowed "$from" "$path"; then
      echo "$file:$line: $from/$sub may not include $path" >&2
      bad=1
    fi
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+/' "$file" || true)
done < <(find src -name '*.h' -o -name '*.cpp' | sort)

if (( bad )); then
  echo "include check: layer violations found" >&2
  exit 1
fi
echo "include check: ok"
