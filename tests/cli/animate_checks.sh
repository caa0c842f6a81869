#!/bin/sh
# animate_checks.sh CLI DATA DIR: vorticel-cli animate: frames that render alone from their
# recipe, two GNU parallel jobs giving the bytes of one run, a run resumed, the .vta file,
# refusals naming the key, a frame that diverges, and the video with and without ffmpeg.
checks=animate-checks
. "$(dirname "$0")/check_support.sh"
small="--size 64x48 --iterations 40000"

# A turntable of one key: six frames, each rendering alone to the same bytes.
"$cli" animate "$data/lorenz-classic.vtc" -o whole --turn 360 --frames 6 $small 2>whole.err ||
    fail "the turntable: $(cat whole.err)"
[ "$(ls whole | tr '\n' ' ')" = "frame-0001.png frame-0002.png frame-0003.png frame-0004.png \
frame-0005.png frame-0006.png " ] || fail "the frames are $(ls whole)"
"$cli" render whole/frame-0004.png -o again.png 2>/dev/null || fail "render frame-0004.png"
cmp -s whole/frame-0004.png again.png || fail "frame 4 did not render alone to the same bytes"
"$cli" show whole/frame-0004.png | grep -q "^exposure=" || fail "frame 4 holds no exposure"

# Two jobs of GNU parallel, each its own frames, give the bytes of the one run.
parallel -j2 "$cli" animate "$data/lorenz-classic.vtc" -o jobs --turn 360 --frames 6 $small \
    --only {} 2>/dev/null ::: 1-3 4-6 || fail "the parallel jobs"
for frame in whole/*.png; do
    cmp -s "$frame" "jobs/${frame#whole/}" || fail "the parallel jobs' ${frame#whole/} differs"
done

# Running the same command again skips what is there; a missing or foreign frame is redone.
rm jobs/frame-0002.png
echo "not a frame" > jobs/frame-0005.png
"$cli" animate "$data/lorenz-classic.vtc" -o jobs --turn 360 --frames 6 $small --progress \
    2>resume.err || fail "the resumed run"
grep -qx "written=2" resume.err && grep -qx "skipped=4" resume.err ||
    fail "the resumed run: $(grep 'written\|skipped' resume.err)"
grep -q "frames 6/6, time left 0:00:00" resume.err || fail "no progress in $(cat resume.err)"
cmp -s whole/frame-0005.png jobs/frame-0005.png || fail "the redone frame 5 differs"

# Refusals: each names the key, or the range.
"$cli" render "$data/lorenz-classic.vtc" -o solid.png --renderer solide $small --seed 1 \
    2>/dev/null || fail "render solid.png"
message=$("$cli" animate "$data/lorenz-classic.vtc" solid.png -o x 2>&1)
[ $? -eq 2 ] && echo "$message" | grep -q "solid.png: rendered with renderer 4" ||
    fail "a renderer change: $message"
message=$("$cli" animate "$data/lorenz-classic.vtc" "$data/icon-cp1252.vtc" -o x 2>&1)
[ $? -eq 2 ] && echo "$message" | grep -q "icon-cp1252.vtc: a Icon, where" ||
    fail "two families: $message"
message=$("$cli" animate "$data/lorenz-classic.vtc" -o x $small 2>&1)
[ $? -eq 2 ] && echo "$message" | grep -q "only key" || fail "one key, no turn: $message"
message=$("$cli" animate "$data/lorenz-classic.vtc" -o x --turn 90 --frames 6 --only 5-7 2>&1)
[ $? -eq 2 ] && echo "$message" | grep -q "\-\-only 5-7" || fail "--only 5-7: $message"

# An animation file of two keys, the second far beyond what its step keeps bounded: the frames
# near it are reported by number, the others written, and the exit code says so.
"$cli" render "$data/lorenz-classic.vtc" -o key.png $small --seed 1 2>/dev/null || fail "key.png"
{
    printf 'vorticel-animation=1\nprogram=test\nkeys=2\nframes=5\nwidth=64\nheight=48\n'
    printf 'fps=30\niterations=40000\n'
    "$cli" show key.png | sed 's/^/key.1./'
    "$cli" show key.png | sed 's/^/key.2./; s/^key.2.parameter.B=.*/key.2.parameter.B=5000.000000/;
        s/^key.2.exact.B=.*/key.2.exact.B=5000/'
} > film.vta
"$cli" animate film.vta -o film 2>film.err
[ $? -eq 6 ] || fail "a diverging frame did not exit with 6: $(cat film.err)"
grep -q "^frame 5: the orbit diverged" film.err || fail "frame 5 not reported: $(cat film.err)"
[ -f film/frame-0001.png ] && [ ! -f film/frame-0005.png ] || fail "film holds $(ls film)"

# The video, and without ffmpeg the frames all the same.
if command -v ffmpeg > /dev/null; then
    "$cli" animate "$data/lorenz-classic.vtc" -o whole --turn 360 --frames 6 $small \
        --video turn.mp4 --fps 12 2>video.err || fail "the video: $(cat video.err)"
    probe=$(ffprobe -v error -select_streams v:0 -count_frames -show_entries \
        stream=codec_name,pix_fmt,r_frame_rate,nb_read_frames -of csv=p=0 turn.mp4)
    [ "$probe" = "h264,yuv420p,12/1,6" ] || fail "the video is $probe"
fi
message=$(PATH=/nonexistent "$cli" animate "$data/lorenz-classic.vtc" -o bare --turn 360 \
    --frames 2 $small --video bare.mp4 2>&1)
[ $? -eq 1 ] && echo "$message" | grep -q "ffmpeg was not found" || fail "no ffmpeg: $message"
[ -f bare/frame-0002.png ] && [ ! -f bare.mp4 ] || fail "without ffmpeg: $(ls bare)"

[ "$failures" -eq 0 ] || exit 1
echo "animate checks passed"
