#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz": clang, AddressSanitizer + UndefinedBehaviorSanitizer),
# makes their seed corpora from our test files and generated content, and runs each target for
# the given time, printing executions, coverage (cov/ft) and findings.
#   scripts/fuzz.sh <seconds per target> [ase] [image] [texture] [settings]
# Corpora grow in build/fuzz/corpus/<target> from run to run; findings (inputs that crashed,
# leaked, ran out of memory or took over a minute) land in build/fuzz/findings/<target>, logs in
# build/fuzz/logs. The exit status is non-zero when any target found something. The time limit
# is generous because the machine may be shared: the inputs take well under a second.
# FUZZ_NICE=19 runs the targets at that niceness (long runs on a shared machine).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

seconds=${1:?usage: scripts/fuzz.sh <seconds per target> [ase] [image] [texture] [settings]}
shift
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then targets=(ase image texture settings); fi

werror=OFF
if [ -n "${CI:-}" ]; then werror=ON; fi
# Runs of different targets may start side by side: one builds at a time.
mkdir -p build/fuzz
(
    flock 9
    cmake --preset fuzz -DVZRM_WERROR=$werror >/dev/null
    cmake --build --preset fuzz >build/fuzz/build.log || { cat build/fuzz/build.log; exit 1; }
) 9>build/fuzz/.build-lock

build=build/fuzz
stage=$build/stage/Plugins/vis_vzrm

# Mesa keeps some of its allocations until the process ends. Inputs that leave allocations
# behind are checked for leaks, which Mesa's texture uploads make slow: the texture target does
# without that check.
export LSAN_OPTIONS=suppressions=$root/tests/native/lsan.supp
declare -A options=([texture]=-detect_leaks=0)

# Longest input each target tries: room for several blocks of a model, a small picture of every
# kind, a settings file with long values.
declare -A max_len=([ase]=16384 [image]=20000 [texture]=20000 [settings]=4096)

seed() {  # seed <target> <file>...
    local dir=$build/corpus/$1 f
    shift
    mkdir -p "$dir"
    for f in "$@"; do cp "$f" "$dir/seed-$(basename "$(dirname "$f")")-$(basename "$f")"; done
}

make_seeds() {
    case $1 in
    ase)
        seed ase tests/models/*/Model.ase
        # The generated models are large: their first blocks are what fits.
        for f in "$stage"/Models/*/Model.ase; do
            mkdir -p $build/corpus/ase
            head -c "${max_len[ase]}" "$f" >"$build/corpus/ase/seed-$(basename "$(dirname "$f")")-head.ase"
        done ;;
    image)
        seed image "$stage"/Models/Vizorama/Brass.tga fuzz/seeds/image/*
        # Small copies of our textures and skybox faces in every format a model may name.
        if command -v convert >/dev/null; then
            mkdir -p $build/corpus/image
            for f in "$stage"/Pulsar.tga "$stage"/Water.tga "$stage/Skyboxes/Late Afternoon/Up.tga"; do
                name=$(basename "$f" .tga)
                for ext in tga png jpg bmp; do
                    convert "$f" -resize 12x10! -compress none \
                        "$build/corpus/image/seed-$name.$ext" 2>/dev/null || true
                done
            done
        fi ;;
    texture)
        seed texture "$stage"/Models/Vizorama/Brass.tga
        if command -v convert >/dev/null; then
            mkdir -p $build/corpus/texture
            for f in "$stage"/Pulsar.tga "$stage/Skyboxes/Late Afternoon/Up.tga"; do
                convert "$f" -resize 7x5! -compress none \
                    "$build/corpus/texture/seed-$(basename "$f")" 2>/dev/null || true
            done
        fi ;;
    settings)
        seed settings scripts/demo-scene.ini fuzz/seeds/settings/* ;;
    esac
}

status=0
printf '%-9s %8s %12s %7s %7s %9s\n' target seconds executions cov ft findings
for target in "${targets[@]}"; do
    make_seeds "$target"
    findings=$build/findings/$target
    mkdir -p "$findings" $build/logs
    log=$build/logs/$target-${seconds}s.log  # a brief run beside a long one keeps its own
    findings_now() { find "$findings" -type f ! -name 'slow-unit-*' | wc -l; }
    before=$(findings_now)
    result=0
    nice -n "${FUZZ_NICE:-0}" "$build/fuzz/fuzz_$target" "$build/corpus/$target" \
        -max_total_time="$seconds" -max_len="${max_len[$target]}" -timeout=60 -rss_limit_mb=2048 \
        -print_final_stats=1 ${options[$target]:-} -artifact_prefix="$findings/" >"$log" 2>&1 || result=$?
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    found=$(($(findings_now) - before))
    printf '%-9s %8s %12s %7s %7s %9s\n' "$target" "$seconds" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$found"
    if [ "$result" -ne 0 ] || [ "$found" -ne 0 ]; then
        status=1
        echo "fuzz_$target found a fault (exit $result): see $log and $findings" >&2
        grep -m1 -A12 'ERROR\|==[0-9]*==' "$log" >&2 || tail -20 "$log" >&2
    fi
done
exit $status
