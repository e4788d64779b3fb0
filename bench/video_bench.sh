#!/usr/bin/env bash
# Decoding benchmark: makes a 720p H.264 file (key frames every 2 s, B-frames),
# a 480p MJPEG AVI and a 1080p H.264 file, times `ffmpeg -threads 1 -f null`
# on them and runs bench_video. Usage: bench/video_bench.sh BUILD_DIR
set -euo pipefail
build=${1:?build directory}
dir=${BENCH_VIDEO_DIR:-/tmp/motilab-bench-videos}
mkdir -p "$dir"
ff() { ffmpeg -nostdin -loglevel error -y "$@"; }
[ -f "$dir/h264_720p.mp4" ] || ff -f lavfi -i testsrc2=s=1280x720:r=30:d=20 -c:v libx264 -preset fast -g 60 -bf 2 -pix_fmt yuv420p "$dir/h264_720p.mp4"
[ -f "$dir/mjpeg_480p.avi" ] || ff -f lavfi -i testsrc2=s=640x480:r=30:d=20 -c:v mjpeg -q:v 3 -pix_fmt yuvj420p "$dir/mjpeg_480p.avi"
[ -f "$dir/h264_1080p.mp4" ] || ff -f lavfi -i testsrc2=s=1920x1080:r=30:d=20 -c:v libx264 -preset ultrafast -g 60 -pix_fmt yuv420p "$dir/h264_1080p.mp4"
for f in h264_720p.mp4 mjpeg_480p.avi; do
  start=$(date +%s.%N)
  ffmpeg -nostdin -loglevel error -threads 1 -i "$dir/$f" -f null -
  end=$(date +%s.%N)
  echo "ffmpeg -threads 1 $f: $(awk "BEGIN{printf \"%.1f\", 600/($end-$start)}") frames/s"
done
MOTILAB_BENCH_H264="$dir/h264_720p.mp4" MOTILAB_BENCH_MJPEG="$dir/mjpeg_480p.avi" \
MOTILAB_BENCH_1080P="$dir/h264_1080p.mp4" "$build/bench/bench_video"
MOTILAB_BENCH_H264="$dir/h264_720p.mp4" "$build/bench/bench_view"
