#!/usr/bin/env bash
# qirt-batch from the outside: its output lines, exit statuses and files.
# Usage: batch_test.sh path/to/qirt-batch
set -u
batch=$1
work=$(mktemp -d)
examples=$(cd "$(dirname "$0")/../../app/data/examples" && pwd)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# expect_run STATUS EXPECTED-STDOUT -- ARGS...: stdout and status must match.
expect_run() {
    local status=$1 expected=$2
    shift 3
    local out rc
    out=$("$batch" "$@" 2>"$work/stderr")
    rc=$?
    [[ $rc == "$status" ]] || fail "qirt-batch $* exited $rc, expected $status"
    [[ $out == "$expected" ]] || fail "qirt-batch $*: stdout was [$out], expected [$expected]"
}

# expect_stderr TEXT: the last run's standard error holds TEXT.
expect_stderr() {
    grep -qF -- "$1" "$work/stderr" || fail "stderr lacks [$1]: $(cat "$work/stderr")"
}

expect_run 0 $'point: 1,2\nminimum: 0\ngradient: 0\niterations: 2\nevaluations: 10\nend: converged' -- \
    -f '(x[0]-1)^2+(x[1]-2)^2' -m gauss -s 0,0
expect_run 0 $'point:\nminimum:\ngradient:\niterations:\nevaluations:\nend:' -- -f 'x[0]^2+x[1]^2' -m graph
# Newton on a sphere: one accepted step to the origin.
expect_run 0 $'point: 0,0\nminimum: 0\ngradient: 0\niterations: 1\nevaluations: 8\nend: converged' -- \
    -f 'x[0]^2+x[1]^2' -m newton -s 1,1

expect_run 2 "" -- -f 'x[0]^2' --bogus 1
expect_stderr "usage: qirt-batch"
expect_run 2 "" -- -f 'x[0]^2' -m simplex
expect_run 2 "" -- -m gauss
expect_run 2 "" -- -f 'x[0]^2' -c 'x[0]>1;1;2'
expect_run 2 "" -- -f

expect_run 1 "" -- -f 'x[0]+'
expect_stderr "Ошибка формирования дерева"
expect_stderr "Ошибка создания дерева"
expect_run 1 "" -- -f '5'
expect_stderr "Функция не содержит переменных"
expect_run 1 "" -- -f 'x[0]+x[1]' -s 3
expect_stderr "Нехватает переменных"
expect_run 1 "" -- -f 'x[0]+x[1]' -s '1,a'
expect_stderr "Начальное приближение: координата 2 («a») — не число"
expect_run 0 $'point: 0,0\nminimum: 0\ngradient: 0\niterations: 1\nevaluations: 7\nend: converged' -- -f 'x[0]^2+x[1]^2' -s '1e-3,2'
expect_run 1 "" -- -f 'x[0]^2' --variable-accuracy abc
expect_stderr "Точность по переменным должна быть числом"
expect_run 1 "" -- -f 'x[0]^2' --step abc
expect_stderr "Шаг при дифференцировании должен быть числом"
expect_run 1 "" -- -f 'ln(x[0])' -s -1 -m dfp
expect_stderr "Функция не определена в начальной точке"
expect_run 1 "" -- -f 'x[0]^2' -s 1 -c 'x[0]+1;1;2;внешняя'
expect_stderr "Недопустимое неравенство"

# The region pulls the minimum of x^2 to the boundary x >= 2.
out=$("$batch" -f 'x[0]^2' -s 3 -m newton --step 1e-4 -c 'x[0]>=2;1000;2;внешняя')
[[ $out == "point: 1.99"* ]] || fail "region: $out"

# The track: count line, then one 46-character line per point, CR LF.
expect_run 0 $'point: 1,2\nminimum: 0\ngradient: 0\niterations: 2\nevaluations: 10\nend: converged' -- \
    -f '(x[0]-1)^2+(x[1]-2)^2' -m gauss -s 0,0 --track "$work/track.txt"
expected=$'2\r\n 0.00000000000000E+0000 0.00000000000000E+0000\r\n 1.00000000000000E+0000 2.00000000000000E+0000\r\n'
[[ $(cat "$work/track.txt"; echo x) == "${expected}x" ]] || fail "track file: $(od -c "$work/track.txt" | head)"
"$batch" -f 'x[0]^2' -s 1 --track "$work/no/such/dir/t.txt" >/dev/null 2>"$work/stderr"
[[ $? == 1 ]] || fail "unwritable track file must exit 1"
expect_stderr "Cannot create file"

# The map: a 500 x 500 Windows bitmap, also in graph-only mode.
bmp_size() { # width and height from the bitmap header
    echo "$(od -An -tu4 -j18 -N4 "$1" | tr -d ' ')x$(od -An -tu4 -j22 -N4 "$1" | tr -d ' ')"
}
"$batch" -f '100*(x[1]-x[0]^2)^2+(1-x[0])^2' -m dfp -s -1.2,1 --map "$work/map.bmp" \
    --range -2,2,-1,3 --colours 12 >/dev/null || fail "--map run failed"
[[ $(head -c 2 "$work/map.bmp") == BM ]] || fail "map is not a bitmap"
[[ $(bmp_size "$work/map.bmp") == 500x500 ]] || fail "map size $(bmp_size "$work/map.bmp")"
"$batch" -f 'x[0]^2+x[1]^2+x[2]' -m graph --axes 'x[2],x[0]' --extended --map "$work/graph.bmp" \
    >/dev/null || fail "graph-only map failed"
[[ $(bmp_size "$work/graph.bmp") == 500x500 ]] || fail "graph-only map size"
expect_run 2 "" -- -f 'x[0]^2' --range 1,2,3 --map "$work/x.bmp"
expect_run 2 "" -- -f 'x[0]^2' --range 2,1,3,4 --map "$work/x.bmp"
expect_run 2 "" -- -f 'x[0]^2' --axes 'x[0],x[0]'
expect_run 2 "" -- -f 'x[0]^2' --axes 'x[0]'
"$batch" -f 'x[0]^2' -s 1 --map "$work/no/such/dir/m.bmp" >/dev/null 2>"$work/stderr"
[[ $? == 1 ]] || fail "unwritable map file must exit 1"
expect_stderr "Cannot create file"

# A condition undefined on part of the map: told once per call, not per sample.
"$batch" -f '(x[0]-3)^2+(x[1]-3)^2' -s 1,1 -c 'ln(x[0])<=1;1;2;внешняя' --map "$work/ln.bmp" \
    --range -2,8,-2,8 --extended >/dev/null 2>"$work/stderr" || fail "ln region map failed"
[[ $(grep -c "Ошибка вычисления условий" "$work/stderr") == 1 ]] ||
    fail "condition error told $(grep -c "Ошибка вычисления условий" "$work/stderr") times"
# A power beyond 32 bits still forbids the other side of x[0] > 5.
out=$("$batch" -f 'x[0]^2+x[1]^2' -s 6,1 -c 'x[0]>5;1;2147483648;внешняя')
[[ $out != "point: 0,0"* ]] || fail "huge power ignored the region: $out"
# Values beyond 18 integer digits in the exponent form, also as ranges.
out=$("$batch" -f '-x[0]^2' -m dfp -s 1 2>"$work/stderr")
[[ $out == *$'\nminimum: -7.6142815702862833e+4931\n'* ]] || fail "huge minimum: $out"
expect_stderr "the function is unbounded below"
"$batch" -f 'x[0]^2+x[1]^2' -s 1,1 --range -1e+20,1e+20,-2.5E+19,2.5e+19 --map "$work/big.bmp" \
    >/dev/null || fail "exponent-form range refused"

# Unbounded functions end at once, whatever the accuracies; negative ones
# are refused.
for m in rosenbrock gauss fletcher-reeves pshenichny steepest-descent dfp fletcher broyden; do
    for acc in 0 1e-7; do
        timeout 10 "$batch" -m "$m" -f 'x[0]+x[1]+x[2]' -s 0,0,0 --variable-accuracy $acc \
            --value-accuracy $acc >/dev/null 2>"$work/stderr" || fail "$m $acc: exit $?"
        expect_stderr "the function is unbounded below"
    done
done
expect_run 1 "" -- -m gauss -f 'x[0]' -s 0 --variable-accuracy -1
expect_stderr "Точность по переменным не может быть отрицательной"
expect_run 1 "" -- -m gauss -f 'x[0]' -s 0 --value-accuracy -1e-3
expect_stderr "Точность по значениям функции не может быть отрицательной"

# Every refusal says why; a result that cannot be written is no success.
expect_run 1 "" -- -f 'x[0]^2' --step ''
expect_stderr "Поле шага дифференцирования пусто"
if [[ -w /dev/full ]]; then
    "$batch" -f 'x[0]^2+x[1]^2' >/dev/full 2>"$work/stderr"
    [[ $? == 1 ]] || fail "a result lost on a full disk must exit 1"
    expect_stderr "cannot write to standard output"
    "$batch" -h >/dev/full 2>"$work/stderr"
    [[ $? == 1 ]] || fail "-h to a full disk must exit 1"
fi
# A run that met points where its region could not be evaluated is no
# plain success: ln(x[0]) is undefined left of 0, where Gauss searches.
"$batch" -f '(x[0]+3)^2+x[1]^2' -m gauss -s 1,1 -c 'ln(x[0])<=5;1;2;внешняя' \
    >/dev/null 2>"$work/stderr"
[[ $? == 1 ]] || fail "a run with an unusable region must exit 1"
[[ $(grep -c "Ошибка вычисления условий" "$work/stderr") == 1 ]] || fail "region error not told once"
expect_stderr "could not be evaluated at some points of the run"

# Comparing methods: a line each, the same numbers as the single runs.
out=$("$batch" -f '100*(x[1]-x[0]^2)^2+(1-x[0])^2' -s -1.2,1 --compare all)
[[ $(grep -c ': point ' <<<"$out") == 11 ]] || fail "--compare all: $out"
[[ $out == *$'dfp: point 0.99999955333977816,0.99999910546273139; minimum 0.00000000000019965; gradient 0.00000040651088931; iterations 9; evaluations 94;'* ]] ||
    fail "--compare dfp row: $out"
json=$("$batch" -f '100*(x[1]-x[0]^2)^2+(1-x[0])^2' -s -1.2,1 --compare dfp,newton --json \
    --csv "$work/results.csv" --map "$work/compare.bmp" --range -2,2,-1,3)
[[ $json == '[{"method":"dfp","point":[0.9999995533397781592,0.99999910546273139417],"point_text":["0.9999995533397781592","0.99999910546273139417"],"minimum":1.9965346862110082711e-13,"minimum_text":"1.9965346862110082711e-13","gradient":4.065108893080396786e-07,"iterations":9,"evaluations":94,"gradient_evaluations":16,"hessian_evaluations":0,"seconds":'*',"end":"converged"},'* ]] ||
    fail "--json dfp: $json"
[[ $json == *$'\n {"method":"newton","point":['*'],"point_text":['*'],"minimum":'*',"minimum_text":'*',"gradient":'*',"iterations":17,"evaluations":124,"gradient_evaluations":17,"hessian_evaluations":17,"seconds":'*',"end":"converged"}]' ]] ||
    fail "--json newton: $json"
[[ $(head -1 "$work/results.csv") == "method,x[0],x[1],minimum,iterations,evaluations,seconds,end,gradient" ]] ||
    fail "results csv: $(cat "$work/results.csv")"
[[ $(wc -l <"$work/results.csv") == 3 ]] || fail "results csv rows"
[[ $(bmp_size "$work/compare.bmp") == 500x500 ]] || fail "comparison map"
expect_run 2 "" -- -f 'x[0]^2' --compare dfp,simplex
# The track as comma-separated values.
"$batch" -f 'x[0]^2+x[1]^2' -s 1,2 -m dfp --csv "$work/track.csv" >/dev/null || fail "--csv run"
[[ $(cat "$work/track.csv") == $'k,x[0],x[1],f\n0,1,2,5\n1,0,0,0\n2,0,0,0' ]] || fail "track csv: $(cat "$work/track.csv")"

help=$("$batch" -h) || fail "-h must exit 0"
[[ $help == usage:* ]] || fail "-h prints usage on stdout"

# --lang en: the same runs, their messages in English; the kinds of a
# condition may be named in English then.
expect_run 1 "" -- -f 'x[0]+x[1]' -s '1,a' --lang en
expect_stderr "Start point: coordinate 2 (“a”) is not a number"
LC_ALL=C grep -q $'[\xd0-\xd3]' "$work/stderr" && fail "--lang en leaves Russian: $(cat "$work/stderr")"
expect_run 1 "" -- -f 'x[0]+' --lang en
expect_stderr "Error building the expression tree"
expect_stderr "Error building the tree"
expect_run 1 "" -- -f 'x[0]^2' -c 'x[0]>>1;1;2;exterior' --lang en
expect_stderr "Invalid inequality: x[0]>>1;"
expect_run 1 "" -- -f 'x[0]^2' --colours 0 --lang en
expect_stderr "The number of colours must be a whole number of at least 1: --colours 0"
expect_run 1 "" -- -f 'x[0]^2' --colours 2.5 --lang en
expect_stderr "The number of colours must be a whole number of at least 1: --colours 2.5"
exterior=$("$batch" -f 'x[0]^2+x[1]^2' -s 3,4 -c 'x[0]>1;1;2;внешняя')
expect_run 0 "$exterior" -- -f 'x[0]^2+x[1]^2' -s 3,4 -c 'x[0]>1;1;2;exterior' --lang en
interior=$("$batch" -f 'x[0]^2+x[1]^2' -s 3,4 -c 'x[0]>1;1;2;внутреняя')
[[ $interior != "$exterior" ]] || fail "the interior kind gives the exterior result"
expect_run 0 "$interior" -- -f 'x[0]^2+x[1]^2' -s 3,4 -c 'x[0]>1;1;2;interior' --lang en
expect_run 0 "$exterior" -- -f 'x[0]^2+x[1]^2' -s 3,4 -c 'x[0]>1;1;2;внешняя' --lang ru
expect_run 2 "" -- -f 'x[0]^2' --lang de

# Saves never replace a link or a FIFO: a link's target gets the file, a
# FIFO nobody reads is refused with the file's name.
echo old >"$work/target.csv"
ln -s target.csv "$work/link.csv"
"$batch" -f 'x[0]^2' -s 1 --csv "$work/link.csv" >/dev/null || fail "--csv through a link"
[[ -L $work/link.csv ]] || fail "the link was replaced"
[[ $(head -1 "$work/target.csv") == "k,x[0],f" ]] || fail "the link's target: $(cat "$work/target.csv")"
mkfifo "$work/pipe"
timeout 10 "$batch" -f 'x[0]^2' -s 1 --track "$work/pipe" >/dev/null 2>"$work/stderr"
[[ $? == 1 ]] || fail "a FIFO nobody reads must be refused"
expect_stderr "Cannot create file $work/pipe"
[[ -p $work/pipe ]] || fail "the FIFO was replaced"

# A comparison writes every run's track, named after its method; the map
# alone prints an empty JSON array.
"$batch" -f 'x[0]^2+x[1]^2' -s 1,1 --compare dfp,gauss --track "$work/cmp.txt" >/dev/null ||
    fail "--compare --track"
[[ -s $work/cmp-dfp.txt && -s $work/cmp-gauss.txt ]] || fail "compared tracks: $(ls "$work")"
[[ $(head -c 1 "$work/cmp-dfp.txt") =~ [0-9] ]] || fail "compared track form"
[[ $("$batch" -f 'x[0]^2' -m graph --json) == "[]" ]] || fail "--json -m graph"

# Region fields that cannot be meant are refused: a coefficient that is no
# number or is negative, a kind that is neither; a method stuck outside
# an interior region says so instead of reporting the constant 1e6.
for bad in 'x[0]>1;abc;2;внешняя' 'x[0]>1;-1;2;внешняя' 'x[0]>1;1;2;снаружи' 'x[0]>1;1e5000;2;внешняя'; do
    expect_run 1 "" -- -f 'x[0]^2' -s 3 -c "$bad"
    expect_stderr "Недопустимое неравенство: $bad"
done
"$batch" -f 'x[0]^2' -s 0 -m gauss -c 'x[0]>1;1;2;внутреняя' >"$work/stdout" 2>"$work/stderr"
expect_stderr "Метод остановился вне области с внутренним штрафом"
grep -q '^end: not-stationary' "$work/stdout" || fail "stuck outside: $(cat "$work/stdout")"

# A range the pixel arithmetic cannot hold is refused at once.
timeout 10 "$batch" -f 'x[0]^2+x[1]^2' --map "$work/narrow.bmp" --range 0,1e-4930,0,1 >/dev/null 2>"$work/stderr"
[[ $? == 2 ]] || fail "a narrow range must be refused"
expect_stderr "Недопустимый диапазон"

# Whatever the inputs, a run of a formula of a few terms ends within
# seconds: the work of every method is bounded.
for args in "-f th(x[0]) -m gauss -s -1e4000 --value-accuracy 0" \
    "-f arctg(x[0]) -m dfp -s 1e300 -c x[0]>1;1;2;внешняя" \
    "-f x[0]+x[1]^2 -m steepest-descent -s 1,1"; do
    start=$SECONDS
    # shellcheck disable=SC2086
    timeout 20 "$batch" $args >/dev/null 2>&1
    (( $? != 124 && SECONDS - start <= 5 )) || fail "unbounded work: $args"
done
out=$("$batch" -f 'th(x[0])' -m gauss -s -1e4000 --value-accuracy 0 2>/dev/null)
[[ $out == *$'\nend: evaluation-limit' ]] || fail "evaluation limit: $out"

# Numbers that overflow are refused like inf; a bad option is named; a
# trailing comma in --compare is no method.
expect_run 1 "" -- -f 'x[0]^2' --step 1e5000
expect_stderr "Шаг при дифференцировании должен быть числом"
expect_run 1 "" -- -f 'x[0]^2' --value-accuracy 1e5000
expect_stderr "Точность по значениям функции должна быть числом"
expect_run 2 "" -- -f 'x[0]^2' --compare dfp,
expect_stderr "cannot take --compare dfp,"
expect_run 2 "" -- -f 'x[0]^2' --bogus 1
expect_stderr "cannot take --bogus 1"
# Numbers beyond the range of double keep their exact text in JSON.
"$batch" -f '0-x[0]^2' -m dfp -s 1 --json >"$work/huge.json" 2>/dev/null
python3 - "$work/huge.json" <<'PY' || fail "JSON texts: $(cat "$work/huge.json")"
import json, math, sys
row = json.load(open(sys.argv[1]))[0]
assert math.isinf(row["minimum"]), row          # beyond double: a reader's infinity
assert row["minimum_text"] == "-7.614281570286283297e+4931", row
assert len(row["point_text"]) == 1 and row["end"] == "unbounded", row
PY

# A region: the single penalised run says how far outside its answer is;
# the strategies find the region's minimum (1, 1) with its multiplier.
region=(-f '(x[0]-3)^2+(x[1]-3)^2' -s 0,0 -m dfp -c 'x[0]+x[1]<=2;1;2;внешняя' -c 'x[0]>=0.5;1;2;внутреняя')
out=$("$batch" "${region[@]}" 2>/dev/null)
[[ $out == *$'\nend: converged\nobjective: '*$'\nviolated: 1\nregion-end: penalised-minimum' ]] ||
    fail "single run with a region: $out"
[[ $out != *multipliers* ]] || fail "a single run has no multipliers: $out"
for strategy in sequence multipliers; do
    "$batch" "${region[@]}" --region-strategy $strategy --json >"$work/region.json" 2>/dev/null ||
        fail "--region-strategy $strategy exited $?"
    python3 - "$work/region.json" <<'PY' || fail "$strategy JSON: $(cat "$work/region.json")"
import json, sys
row = json.load(open(sys.argv[1]))[0]
assert row["region_end"] == "region-minimum" and row["end"] == "converged", row
assert abs(row["point"][0] - 1) < 1e-3 and abs(row["point"][1] - 1) < 1e-3, row
assert abs(row["objective"] - 8) < 1e-5 and row["violation"] <= 1e-5, row
assert row["active"] == [1] and row["violated"] == [], row
assert abs(row["multipliers"][0] - 4) < 1e-2 and row["multipliers"][1] == 0, row
assert row["kkt"] < 1e-3 and len(row["outer"]) >= 2, row
assert row["outer"][0]["violation"] > 1 and row["outer"][-1]["violation"] <= 1e-5, row
assert all(step["end"] == "converged" for step in row["outer"]), row
PY
done
out=$("$batch" "${region[@]}" --region-strategy multipliers 2>/dev/null)
[[ $out == *$'\nouter 1: coefficient 2; weight 1; point '*'; end converged'*$'\nregion-end: region-minimum' ]] ||
    fail "outer steps as text: $out"
# Methods compared on the constrained problem: the table has the region's columns.
"$batch" "${region[@]}" --region-strategy multipliers --compare dfp,bfgs,newton --csv "$work/region.csv" \
    >/dev/null 2>&1 || fail "comparison with a region"
[[ $(head -1 "$work/region.csv") == *",end,gradient,objective,violation,kkt,region_end" ]] ||
    fail "region columns: $(head -1 "$work/region.csv")"
[[ $(grep -c ',region-minimum$' "$work/region.csv") == 3 ]] || fail "region rows: $(cat "$work/region.csv")"
# The sampled grid as CSV, and the map's looks.
"$batch" -f 'x[0]^2+x[1]^2' -s 1,1 --grid "$work/grid.csv" --style filled-lines --map "$work/filled.bmp" \
    >/dev/null || fail "--grid and --style"
[[ $(head -2 "$work/grid.csv") == $'x,y,f\n-5,5,50' && $(wc -l <"$work/grid.csv") == 63002 ]] ||
    fail "grid csv: $(head -3 "$work/grid.csv")"
"$batch" -f 'x[0]^2+x[1]^2' -s 1,1 --map "$work/plain.bmp" >/dev/null
"$batch" -f 'x[0]^2+x[1]^2' -s 1,1 --style dots --map "$work/dots.bmp" >/dev/null
cmp -s "$work/plain.bmp" "$work/dots.bmp" || fail "--style dots is not the plain map"
cmp -s "$work/filled.bmp" "$work/dots.bmp" && fail "a filled map is the dotted one"
# The plot, as PNG at its size and as SVG with the formula as its title.
"$batch" -f 'x[0]^2+x[1]^2' -s 1,1 --plot "$work/plot.png" --size 900,700 >/dev/null 2>&1 || fail "--plot png"
python3 - "$work/plot.png" <<'PY' || fail "plot png"
import struct, sys
data = open(sys.argv[1], "rb").read(24)
assert data[:8] == b"\x89PNG\r\n\x1a\n", data
assert struct.unpack(">II", data[16:24]) == (900, 700), struct.unpack(">II", data[16:24])
PY
"$batch" -f 'x[0]^2+x[1]^2' -s 1,1 --plot "$work/plot.svg" >/dev/null 2>&1 || fail "--plot svg"
grep -q '<svg' "$work/plot.svg" && grep -q 'x\[0\]^2+x\[1\]^2' "$work/plot.svg" || fail "plot svg: $(head -c 300 "$work/plot.svg")"
expect_run 2 "" -- -f 'x[0]^2' --size 10,10
expect_stderr "cannot take --size 10,10"
# The plot in the look asked for (Qt must not take --style for itself).
"$batch" -f 'x[0]^2+x[1]^2' -s 1,1 --plot "$work/plot-dots.png" --style dots >/dev/null 2>&1
"$batch" -f 'x[0]^2+x[1]^2' -s 1,1 --plot "$work/plot-lines.png" --style filled-lines >/dev/null 2>&1
"$batch" -f 'x[0]^2+x[1]^2' -s 1,1 --plot "$work/plot-plain.png" >/dev/null 2>&1
cmp -s "$work/plot-dots.png" "$work/plot-plain.png" || fail "--style dots is not the plain plot"
cmp -s "$work/plot-dots.png" "$work/plot-lines.png" && fail "--style filled-lines plot is the dotted one"
# A picture is written in the format its name says, or refused.
expect_run 2 "" -- -f 'x[0]^2' --plot "$work/plot.jpg"
expect_stderr "cannot take --plot $work/plot.jpg"
expect_run 2 "" -- -f 'x[0]^2' --basins "$work/basins.svg"
expect_stderr "cannot take --basins $work/basins.svg"
[[ ! -e $work/plot.jpg && ! -e $work/basins.svg ]] || fail "a refused picture was written"

# The report: HTML that reads as XML, its sections in order, the task and the
# result as printed, the pictures as PNG data; the same in English.
gauss=$'point: 1,2\nminimum: 0\ngradient: 0\niterations: 2\nevaluations: 10\nend: converged'
expect_run 0 "$gauss" -- -f '(x[0]-1)^2+(x[1]-2)^2' -m gauss -s 0,0 --report "$work/report.html" \
    --track "$work/gauss.txt"
expect_run 0 "$gauss" -- -f '(x[0]-1)^2+(x[1]-2)^2' -m gauss -s 0,0 --report "$work/report-en.HTM" --lang en
python3 - "$work/report.html" "$work/report-en.HTM" "$work/gauss.txt" <<'PY' || fail "report html"
import base64, struct, sys
import xml.etree.ElementTree as ET
ns = {"h": "http://www.w3.org/1999/xhtml"}
for name, headings, minimum in ((sys.argv[1], ["Задача", "Результаты", "Карта линий уровня", "Сходимость", "Итерации"], "Минимум"),
                                (sys.argv[2], ["Task", "Results", "Level map", "Convergence", "Iterations"], "Minimum")):
    root = ET.parse(name).getroot()
    h2 = root.findall(".//h:h2", ns)
    assert [h.get("id") for h in h2] == ["task", "results", "map", "convergence", "iterations"], name
    assert [h.text for h in h2] == headings, [h.text for h in h2]
    fields = {r[0].text: r[1].text for r in root.findall(".//h:table[@class='fields']/h:tr", ns)}
    assert fields[minimum] == "0", fields
    assert "(x[0]-1)^2+(x[1]-2)^2" in fields.values(), fields
    sizes = []
    for img in root.findall(".//h:img", ns):
        png = base64.b64decode(img.get("src").split(",", 1)[1])
        assert png[:8] == b"\x89PNG\r\n\x1a\n"
        sizes.append(struct.unpack(">II", png[16:24]))
        assert sizes[-1] == (int(img.get("width")), int(img.get("height"))), (sizes, img.attrib)
    assert len(sizes) == 2 and sizes[1] == (720, 360), sizes
    # A row per point of the track, k from 0.
    points = int(open(sys.argv[3]).readline())
    rows = root.findall(".//h:table[@class='iterations']/h:tbody/h:tr", ns)
    assert [r[0].text for r in rows] == [str(k) for k in range(points)], ([r[0].text for r in rows], points)
PY
# A comparison as PDF: A4 pages holding every method.
"$batch" -f '100*(x[1]-x[0]^2)^2+(1-x[0])^2' -s -1.2,1 --compare dfp,bfgs --report "$work/report.pdf" >/dev/null ||
    fail "--compare --report pdf"
[[ $(head -c 5 "$work/report.pdf") == "%PDF-" ]] || fail "report.pdf is no PDF"
if command -v pdftotext >/dev/null; then
    pdftotext -enc UTF-8 "$work/report.pdf" "$work/report-pdf.txt"
    for text in "Сравнение методов минимизации" "Дэвидона-Флетчеpа-Пауэла" "Бройдена-Флетчера-Гольдфарба-Шанно" \
                "100*(x[1]-x[0]^2)^2+(1-x[0])^2"; do
        grep -qF -- "$text" "$work/report-pdf.txt" || fail "report.pdf lacks [$text]"
    done
    pdfinfo "$work/report.pdf" | grep -q "(A4)" || fail "report.pdf is not A4"
else
    echo "SKIP: the PDF's text (pdftotext is missing; scripts/setup.sh installs poppler-utils)"
fi
# Another ending is a bad option, refused before anything runs; a report
# that cannot be written says why, after the result.
expect_run 2 "" -- -f 'x[0]^2' --report "$work/report.txt"
expect_stderr "cannot take --report $work/report.txt"
[[ -e $work/report.txt ]] && fail "a refused report was written"
expect_run 1 "$gauss" -- -f '(x[0]-1)^2+(x[1]-2)^2' -m gauss -s 0,0 --report "$work/no/such/dir/r.html"
expect_stderr "Отчёт «$work/no/such/dir/r.html» не записан: нет такой папки"
"$batch" -f 'x[0]^2+x[1]^2' --compare dfp --report "$work/report.pdf/r.pdf" --lang en >/dev/null 2>"$work/stderr"
[[ $? == 1 ]] || fail "a comparison's report that cannot be written is no failure"
expect_stderr "The report “$work/report.pdf/r.pdf” was not written: no such folder"
expect_run 2 "" -- -f 'x[0]^2' --style hatched
expect_stderr "cannot take --style hatched"
expect_run 2 "" -- -f 'x[0]^2' --region-strategy sumt
expect_stderr "cannot take --region-strategy sumt"

# The basins of attraction: a 500 x 500 PNG and a line per minimum. The
# double well's ridge x[0] = 0 splits the starts half and half.
well=(-f '(x[0]^2-1)^2+x[1]^2' -m steepest-descent -s 0.5,0.5 --range -1.5,1.5,-1,1 --basins-grid 20)
out=$("$batch" "${well[@]}" --threads 2 --basins "$work/basins.png") || fail "--basins exited $?"
python3 - "$work/basins.png" <<'PY' || fail "basins png"
import struct, sys
data = open(sys.argv[1], "rb").read(24)
assert data[:8] == b"\x89PNG\r\n\x1a\n", data
assert struct.unpack(">II", data[16:24]) == (500, 500), struct.unpack(">II", data[16:24])
PY
[[ $out == *$'\nend: converged\nbasins: grid 20; range -1.5,1.5,-1,1; axes x[0],x[1]; starts 400\n'* ]] ||
    fail "basins header: $out"
[[ $(grep -c '^basin ' <<<"$out") == 2 ]] || fail "two minima: $out"
for side in '' '-'; do
    grep -Eq "^basin [12]: minimum; point ${side}(1\.0000|0\.9999)[0-9]*,-?0\.0000[0-9]*; value 0\.0000[0-9]*; share 50%; starts 200; median iterations [0-9.]+; colour #[0-9a-f]{6}\$" <<<"$out" ||
        fail "the minimum at ${side}1: $out"
done
# The same lines and pixels on one thread and on three.
"$batch" "${well[@]}" --threads 1 --basins "$work/one.png" >"$work/one.txt" || fail "--threads 1"
"$batch" "${well[@]}" --threads 3 --basins "$work/three.png" >"$work/three.txt" || fail "--threads 3"
cmp -s "$work/one.txt" "$work/three.txt" || fail "basins differ by threads: $(diff "$work/one.txt" "$work/three.txt")"
cmp -s "$work/one.png" "$work/three.png" || fail "basin pictures differ by threads"
cmp -s "$work/one.png" "$work/basins.png" || fail "basin pictures differ by threads"
"$batch" "${well[@]}" --basins "$work/basins.png" --json >"$work/basins.json" || fail "--basins --json"
python3 - "$work/basins.json" <<'PY' || fail "basins JSON: $(cat "$work/basins.json")"
import json, sys
row = json.load(open(sys.argv[1]))[0]
assert row["method"] == "steepest-descent" and row["end"] == "converged", row
b = row["basins"]
assert b["grid"] == 20 and b["starts"] == 400 and b["range"] == [-1.5, 1.5, -1, 1] and b["axes"] == [0, 1], b
groups = b["groups"]
assert len(groups) == 2 and all(g["minimum"] and g["end"] == "converged" for g in groups), groups
assert sorted(round(g["point"][0]) for g in groups) == [-1, 1], groups
for g in groups:
    assert abs(g["point"][1]) < 1e-3 and g["value"] < 1e-6, g
    assert g["share"] == 0.5 and g["starts"] == 200 and g["median_iterations"] >= 1, g
    assert float(g["point_text"][0]) == g["point"][0], g
assert groups[0]["value"] <= groups[1]["value"], groups
assert groups[0]["colour"] != groups[1]["colour"], groups
PY
# Without --range the view is the map's first one, around the found point.
out=$("$batch" -f '(x[0]^2-1)^2+x[1]^2' -m dfp -s 0.5,0.5 --basins-grid 20 --basins "$work/first.png")
[[ $out == *$'\nbasins: grid 20; range -4,6,-5,5; axes x[0],x[1]; starts 400\n'* ]] || fail "first view: $out"
expect_run 2 "" -- -f 'x[0]^2' --basins "$work/x.png" --basins-grid 19
expect_stderr "cannot take --basins-grid 19"
expect_run 2 "" -- -f 'x[0]^2' --basins "$work/x.png" --basins-grid 50.5
expect_run 2 "" -- -f 'x[0]^2' --basins "$work/x.png" --threads 0
expect_run 2 "" -- -f 'x[0]^2' --basins "$work/x.png" --compare dfp,gauss
expect_stderr "cannot take --basins with --compare"
"$batch" -f 'x[0]^2+x[1]^2' -m graph --basins "$work/x.png" >/dev/null 2>"$work/stderr"
[[ $? == 1 ]] || fail "--basins without a method must exit 1"
expect_stderr "--basins needs a method"
"$batch" -f 'x[0]^2+x[1]^2' --basins "$work/no/such/dir/b.png" --basins-grid 20 >/dev/null 2>"$work/stderr"
[[ $? == 1 ]] || fail "unwritable basins file must exit 1"
expect_stderr "Cannot create file $work/no/such/dir/b.png"

# Tasks: a task written from options runs exactly as the options do; the
# command line overrides its fields; a damaged or newer task is refused.
region_run=(-f 'x[0]^2+(x[1]-1)^2' -m dfp -s 2,3 -c 'x[0]+x[1]>=2;100;2;внешняя' --variable-accuracy 1e-9)
expect_run 0 "" -- "${region_run[@]}" --range -3,3,-2,4 --style filled-lines --save-task "$work/t.qirt"
direct=$("$batch" "${region_run[@]}" --json | sed 's/"seconds":[0-9.e-]*//')
from_task=$("$batch" --task "$work/t.qirt" --json | sed 's/"seconds":[0-9.e-]*//')
[[ -n $direct && $direct == "$from_task" ]] || fail "--task: [$from_task] differs from [$direct]"
grep -q '"range": \["-3", "3", "-2", "4"\]' "$work/t.qirt" || fail "the task's view: $(cat "$work/t.qirt")"
# -s and -m override, -c replaces the region; the task file stays as it was.
overridden=$("$batch" --task "$work/t.qirt" -s 0,0 -m gauss -c 'x[0]>=1;100;2;exterior' --lang en --json)
[[ $overridden == *'"method":"gauss"'* ]] || fail "-m over a task: $overridden"
[[ $overridden == *'"violated":[]'* || $overridden == *'"violated":[1]'* ]] || fail "-c over a task: $overridden"
expected_override=$("$batch" -f 'x[0]^2+(x[1]-1)^2' -m gauss -s 0,0 -c 'x[0]>=1;100;2;exterior' --lang en \
    --variable-accuracy 1e-9 --json | sed 's/"seconds":[0-9.e-]*//')
[[ $(sed 's/"seconds":[0-9.e-]*//' <<<"$overridden") == "$expected_override" ]] || fail "override: $overridden"
# A comparison task runs every method of it.
expect_run 0 "" -- -f 'x[0]^2+x[1]^2' --compare newton,bfgs --save-task "$work/c.qirt"
compared=$("$batch" --task "$work/c.qirt")
[[ $(grep -c . <<<"$compared") == 2 && $compared == *newton* && $compared == *bfgs* ]] || fail "compare task: $compared"
printf '{"format": "qirt-task", "version": 7, "formula": "x[0]^2"}' >"$work/new.qirt"
expect_run 1 "" -- --task "$work/new.qirt"
expect_stderr "Задача new.qirt не открыта: задача записана более новой версией программы (версия 7"
printf '{"format": "qirt-task", "version": 1, "formula": ' >"$work/damaged.qirt"
expect_run 1 "" -- --task "$work/damaged.qirt" -f 'x[0]^2'
expect_stderr "Задача damaged.qirt не открыта: файл повреждён: это не JSON"
expect_run 1 "" -- --task "$work/missing.qirt" --lang en
expect_stderr "Task missing.qirt was not opened: no such file"
printf '{"format": "qirt-task", "version": 0, "formula": "x[0]^2"}' >"$work/zero.qirt"
expect_run 1 "" -- --task "$work/zero.qirt"
expect_stderr "поле «version» должно быть целым числом не меньше 1"
# An empty name to save to is a bad option, not a run.
expect_run 2 "" -- -f 'x[0]^2' --save-task ''
# A task saved again keeps its note.
expect_run 0 "" -- --task "$examples/rosenbrock.qirt" --save-task "$work/again.qirt"
grep -q '"note"' "$work/again.qirt" && grep -q '"ru": "' "$work/again.qirt" || fail "the note was lost: $(cat "$work/again.qirt")"
# A task the reader would refuse is not written, and an old file stays.
cp "$work/t.qirt" "$work/kept.qirt"
expect_run 1 "" -- -f 'x[0]^2' --value-accuracy abc --save-task "$work/kept.qirt"
expect_stderr "Задача kept.qirt не записана: Точность по значениям функции должна быть числом"
cmp -s "$work/t.qirt" "$work/kept.qirt" || fail "a refused save changed the file"

# A formula that does not parse: under the two texts, where and what, the
# formula with a marker; the JSON of the refused run says the same.
expect_run 1 "" -- -f 'x[0]^2+tan(x[1])'
expect_stderr "Ошибка формирования дерева"
expect_stderr "позиция 8: неизвестная функция «tan» — возможно, tg"
expect_stderr "x[0]^2+tan(x[1])"
expect_stderr "       ^"
json=$("$batch" -f 'x[0]**2' -m dfp --json --lang en 2>"$work/stderr")
[[ $? == 1 ]] || fail "a refused formula with --json must exit 1"
[[ $json == *'"end":"refused","error":{"position":6,"kind":"misplaced-operator","text":"position 6: the sign “*” where an operand belongs — perhaps ^"}}]' ]] ||
    fail "the refused run's JSON: $json"
expect_stderr "position 6: the sign “*” where an operand belongs — perhaps ^"
# pi, e and exponent numbers in formulas and conditions.
expect_run 0 $'point: 0.001\nminimum: 0\ngradient: 0\niterations: 2\nevaluations: 15\nend: converged\nobjective: 0\nviolation: 0\nactive: \nviolated: \nregion-end: penalised-minimum' -- \
    -f '(x[0]-1e-3)^2*pi*e' -m newton -s 2 -c 'x[0]<=2.5E+1;1;2;внешняя'
# The condition's exponent number is read as such: 0.5e1 = 5 is the bound.
out=$("$batch" -f '(x[0]-9)^2' -m dfp -s 0 -c 'x[0]<=0.5e1;1e4;2;внешняя' --region-strategy multipliers)
[[ $out == *$'\nregion-end: region-minimum'* && $out == "point: 5.0000"* ]] || fail "exponent in a condition: $out"

if ((failures)); then
    echo "$failures failure(s)"
    exit 1
fi
echo "all qirt-batch checks passed"
