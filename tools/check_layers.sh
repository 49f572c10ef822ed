#!/usr/bin/env bash
# Fails when a source file under src/ includes a header of a folder it may not use.
# The layers run one way: platform < board < eval < search < protocol < api < cli; the
# tablebase folder uses only board and platform, and search and everything above it may
# use the tablebase folder. include/kestrane.h (the host's view) is outside the layers.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
  [platform]="platform"
  [board]="platform board"
  [eval]="platform board eval"
  [tablebase]="platform board tablebase"
  [search]="platform board eval tablebase search"
  [protocol]="platform board eval tablebase search protocol"
  [api]="platform board eval tablebase search protocol api"
  [cli]="platform board eval tablebase search protocol api cli"
)

status=0
for folder in src/*/; do
  layer=$(basename "$folder")
  if [ -z "${allowed[$layer]+set}" ]; then
    echo "src/$layer: a folder outside the layers; add it to tools/check_layers.sh and the README"
    status=1
    continue
  fi
  while IFS=: read -r file line text; do
    target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^/"]+)\/.*/\1/' <<<"$text")
    [ -n "${allowed[$target]+set}" ] || continue  # not a layer folder
    case " ${allowed[$layer]} " in
      *" $target "*) ;;
      *)
        echo "$file:$line: $layer/ may not include $target/ (${text#"${text%%[![:space:]]*}"})"
        status=1
        ;;
    esac
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+/' "$folder" || true)
done
[ "$status" -eq 0 ] && echo "layers: every include runs downwards"
exit "$status"
