#!/usr/bin/env bash
# Checks every #include of src/ and apps/ against the layers the build defines.
#   check_includes.sh RULES SOURCE_DIR
# RULES has one line per layer: the layer, then every layer it may include
# (itself and those below it). A file of src/LAYER includes only "L/file.h" with
# L among them; apps/ may include any layer, but nothing includes apps/; no
# include climbs out with "..". Then no chain of includes may come back to
# where it began (a file and its header count as one). Prints each offence and
# exits 1 when there is one.
set -euo pipefail

rules=$1
source_dir=$2
declare -A visible
all_layers=""
while read -r layer rest; do
  [ -n "$layer" ] || continue
  visible[$layer]=" $rest "
  all_layers+=" $layer"
done <"$rules"

offences=0
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT

offence() {
  echo "check_includes: $1" >&2
  offences=$((offences + 1))
}

cd "$source_dir"
while IFS= read -r file; do
  case $file in
    src/*)
      layer=${file#src/}
      layer=${layer%%/*}
      allowed=${visible[$layer]:-}
      [ -n "$allowed" ] || offence "$file: src/$layer is no layer of the build"
      ;;
    *) allowed=" $all_layers " ;;
  esac
  module=${file#src/}
  module=${module%.*}
  while IFS= read -r included; do
    [ -n "$included" ] || continue
    case $included in
      */*) ;;
      *) offence "$file: \"$included\" names no layer folder" && continue ;;
    esac
    case $included in
      *..*) offence "$file: \"$included\" climbs out with .." && continue ;;
    esac
    target=${included%%/*}
    if [ -z "${visible[$target]:-}" ]; then
      offence "$file: \"$included\" is outside the layers (src/ never includes apps/)"
    elif [[ $allowed != *" $target "* ]]; then
      offence "$file: \"$included\" runs upward or sideways from ${layer:-apps}"
    fi
    to=${included%.*}
    [ "$to" = "$module" ] || echo "$module $to" >>"$edges"
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find src apps -type f \( -name '*.h' -o -name '*.cpp' \) | LC_ALL=C sort)

# tsort names the members of each circle it finds, one per line after its notice.
if ! loop=$(tsort <"$edges" 2>&1 >/dev/null); then
  offence "an include circle through:$(echo "$loop" | grep -v 'contains a loop' | sed 's/^tsort://' | tr -d '\n')"
fi

[ "$offences" -eq 0 ] || { echo "check_includes: $offences offence(s)" >&2; exit 1; }
