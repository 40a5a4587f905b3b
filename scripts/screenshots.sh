#!/usr/bin/env bash
# Redraws the pictures of the user guide and the README (docs/screenshots/, or the folder given):
#   - windows and dialogs of the program, drawn by kenvoplat-screenshots;
#   - views of a sample data set drawn by "kenvoplat-cli render" (view_*.png);
#   - first pages of printed reports, "kenvoplat-cli print" as PDF turned into PNG (print_*.png);
# and then checks that none of them is blank.
#
# The sample data set is two synthetic 20 s stance attempts, made here, so the pictures are the
# same on every machine. A new view is one more word in RENDER_VIEWS or PRINT_VIEWS below.
#
# Environment: KENVO_BUILD=FOLDER uses programs already built there (the tests do), otherwise
# build-release is built; KENVO_SCREENSHOT_PLATFORM=offscreen draws without an X server
# (the tests), otherwise on a virtual X display (xvfb-run), as a desktop would.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:-$root/docs/screenshots}")"

RENDER_VIEWS=(stance cop-all graph-report diffusion)
PRINT_VIEWS=(summary interval graph-report diffusion)

if [ -n "${KENVO_BUILD:-}" ]; then
    build="$(realpath "$KENVO_BUILD")"
else
    cd "$root"
    scripts/deps.sh
    build="$root/build-release"
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKENVO_BUILD_TESTS=OFF \
        -DKENVO_BUILD_BENCH=OFF >/dev/null
    cmake --build "$build" -j "$(nproc)" --target kenvoplat-screenshots kenvoplat-cli
fi
shots="$build/src/app/kenvoplat-screenshots"
cli="$build/src/cli/kenvoplat-cli"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out" "$work/runtime"
chmod 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" KENVOPLAT_HOME="$work"

on_display() {
    if [ "${KENVO_SCREENSHOT_PLATFORM:-xvfb}" = offscreen ]; then
        QT_QPA_PLATFORM=offscreen "$@"
    else
        xvfb-run -a -s "-screen 0 1920x1200x24" "$@"
    fi
}

# The windows and dialogs (and the printed clinical measures and a subject's history, as PDFs
# made through the window).
on_display "$shots" "$out"
for printed in print_clinical print_history; do
    pdftoppm -png -r 50 -f 1 -l 1 -singlefile "$out/$printed.pdf" "$out/$printed"
    rm -f "$out/$printed.pdf"
    echo "wrote $out/$printed.png"
done

# A sample subject: quiet stance with eyes open, then a wider sway with eyes closed (mm, 100 Hz).
sway() {  # sway SEED AMPLITUDE > CSV
    awk -v seed="$1" -v a="$2" 'BEGIN {
        print "t_s,x_mm,y_mm"
        for (i = 0; i < 2000; i++) {
            t = i / 100
            x = a * (0.6 * sin(0.9 * t + seed) + 0.3 * sin(2.3 * t) + 0.1 * sin(7.1 * t + 2 * seed))
            y = 1.5 + a * (0.7 * sin(0.5 * t + 1) + 0.25 * sin(1.7 * t + seed) + 0.05 * sin(9.3 * t))
            printf "%.2f,%.3f,%.3f\n", t, x, y
        }
    }'
}
sway 0.3 4 >"$work/eyes_open.csv"
sway 1.1 7 >"$work/eyes_closed.csv"
"$cli" import-csv --subject "Sample subject" -o "$work/sample.kplat" "$work/eyes_open.csv" "$work/eyes_closed.csv"

for view in "${RENDER_VIEWS[@]}"; do
    "$cli" render "$view" "$work/sample.kplat" --attempt 2 --width 760 --height 420 -o "$out/view_$view.png"
    echo "wrote $out/view_$view.png"
done
for view in "${PRINT_VIEWS[@]}"; do
    "$cli" print "$view" "$work/sample.kplat" --attempt 2 --interval 5 --marker 100 -o "$work/$view.pdf"
    pdftoppm -png -r 50 -f 1 -l 1 -singlefile "$work/$view.pdf" "$out/print_$view"
    echo "wrote $out/print_$view.png"
done

# The one-page clinical report of a sample sensory balance test: three 60 s trials in each of
# the four conditions, the sway growing with closed eyes and on foam.
sensory_sway() {  # sensory_sway SEED SIGMA_X SIGMA_Y RETURN_S BODY_S > CSV
    # Mean-reverting random sway smoothed by the body, as the simulated subject sways.
    awk -v seed="$1" -v sx="$2" -v sy="$3" -v back="$4" -v body="$5" 'BEGIN {
        srand(seed); dt = 0.01; pi = 3.141592653589793
        print "t_s,x_mm,y_mm"
        for (i = 0; i < 6000; i++) {
            u = rand(); v = rand(); n1 = sqrt(-2 * log(1 - u)) * cos(2 * pi * v)
            u = rand(); v = rand(); n2 = sqrt(-2 * log(1 - u)) * cos(2 * pi * v)
            ox += -ox / back * dt + sx * sqrt(2 * dt / back) * n1
            oy += -oy / back * dt + sy * sqrt(2 * dt / back) * n2
            x += (ox - x) * dt / body; y += (oy - y) * dt / body
            printf "%.2f,%.3f,%.3f\n", i * dt, 1 + x, -8 + y + 0.4 * sin(2 * pi * 0.25 * i * dt)
        }
    }'
}
inputs=() conditions=""
seed=1
for condition in "eo-firm 3.4 5.4 1.8 0.12" "ec-firm 3.8 6 1.8 0.11" "eo-foam 8.5 12 1.2 0.12" \
    "ec-foam 9.5 13.5 1 0.1"; do
    read -r name sway <<<"$condition"
    for trial in 1 2 3; do
        csv="$work/${name}_$trial.csv"
        # shellcheck disable=SC2086
        sensory_sway $((seed++)) $sway >"$csv"
        inputs+=("$csv")
        conditions+="${conditions:+,}$name"
    done
done
"$cli" import-csv --subject "Nováková Jana" --code P-0042 --birth-date 1956-04-23 --sex F \
    --height 164 --weight 68 --recorded-at 2026-12-08T08:30:00Z --conditions "$conditions" \
    -o "$work/sensory.kplat" "${inputs[@]}"
"$cli" report "$work/sensory.kplat" --clinic "Balance Clinic" -o "$work/clinical_report.pdf"
pdftoppm -png -r 80 -f 1 -l 1 -singlefile "$work/clinical_report.pdf" "$out/clinical_report"
echo "wrote $out/clinical_report.png"

# Nothing blank: a window that failed to draw or an empty page fails the script.
on_display "$shots" --check "$out"/*.png
