#!/usr/bin/env bash
# The English translation is complete and matches the sources: lupdate
# collects the marked texts of the sources afresh (as the update_translations
# target does) into a copy of the committed .ts file, and the checker
# compares the two. A fault names the text; update the translation with
# `cmake --build build --target update_translations` and translate what it
# marks unfinished.
set -euo pipefail
# Usage: translation_check.sh LUPDATE CHECKER LUPDATE-OPTIONS...
lupdate=$1 checker=$2
shift 2
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$root/app/i18n/qirt_en.ts" "$work/fresh.ts"
cd "$root"
"$lupdate" -silent "$@" func methods graph windows app/*.cpp -ts "$work/fresh.ts"
"$checker" "$root/app/i18n/qirt_en.ts" "$work/fresh.ts"
