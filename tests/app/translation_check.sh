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
# lupdate does not see a mark inside a call of Tr ("Tr(UI_TEXT(...))"): such a
# text is never collected and shows untranslated. Mark it apart, as a named
# constant, and translate that.
if hidden=$(grep -rn --include='*.cpp' --include='*.h' 'Tr(UI_TEXT(' func methods graph windows app); then
    echo "marks lupdate cannot see:"
    echo "$hidden"
    exit 1
fi
