#!/usr/bin/env bash
# Makes the small test videos of the frame sources in OUTDIR. Every frame
# shows its own index as 10 black/white blocks across the picture (bit k of
# the index in block k, least significant on the left), so a test can read the
# number back from the decoded picture. Also writes OUTDIR/manifest.tsv:
# file, frame count (ffprobe -count_frames), width, height.
set -euo pipefail
out=${1:?output folder}
mkdir -p "$out"
cd "$out"
[ -f manifest.tsv ] && [ -f mp4_rotated.mp4 ] && exit 0

W=320 H=240
pattern="geq=lum='255*mod(floor(N/pow(2,floor(X*10/W))),2)':cb=128:cr=128"
src() {  # frames rate
  echo "color=c=gray:s=${W}x${H}:r=$2:d=$(awk "BEGIN{print $1/$2}"),format=yuv444p,$pattern"
}
ff() { ffmpeg -nostdin -loglevel error -y "$@"; }

ff -f lavfi -i "$(src 30 25)" -c:v rawvideo -pix_fmt bgr24 avi_rgb24.avi
ff -f lavfi -i "$(src 30 25)" -c:v rawvideo -pix_fmt bgra avi_rgb32.avi
ff -f lavfi -i "$(src 30 25)" -c:v rawvideo -pix_fmt pal8 avi_pal8.avi
ff -f lavfi -i "$(src 60 25)" -c:v mjpeg -q:v 3 -pix_fmt yuvj420p avi_mjpeg.avi
ff -f lavfi -i "$(src 60 25)" -c:v mpeg4 -bf 2 -g 12 -q:v 3 avi_mpeg4.avi
ff -f lavfi -i "$(src 150 25)" -c:v libx264 -preset veryfast -bf 2 -g 50 -keyint_min 50 -pix_fmt yuv420p mp4_h264.mp4
ff -f lavfi -i "$(src 40 30)" -c:v mjpeg -q:v 3 -pix_fmt yuvj420p mov_mjpeg.mov
ff -f lavfi -i "$(src 50 25)" -c:v mpeg2video -bf 2 -g 12 -q:v 3 -f mpeg mpg_mpeg2.mpg
ff -f lavfi -i "$(src 40 25)" -c:v wmv2 -q:v 3 -f asf wmv_wmv2.wmv
# Variable frame rate: frames 10 to 14 dropped, the others keep their times.
ff -f lavfi -i "$(src 40 25)" -vf "select='not(between(n,10,14))'" -fps_mode vfr -c:v libx264 -preset veryfast -bf 0 mp4_vfr.mp4
# This program's own MPEG-4 writer marks its files with a comment.
ff -f lavfi -i "$(src 20 25)" -c:v mpeg4 -q:v 3 -metadata comment="Motilab video FFMpeg MPEG4 codec" comment_mpeg4.avi
# A phone video held upright: stored 320 x 240, shown turned by 90 degrees.
ff -f lavfi -i "$(src 20 25)" -c:v libx264 -preset veryfast -bf 0 -pix_fmt yuv420p upright.mp4
ff -i upright.mp4 -c copy -metadata:s:v:0 rotate=90 mp4_rotated.mp4
rm -f upright.mp4
# Broken: half of an MJPEG AVI, and a text that is not a video at all.
head -c $(( $(stat -c %s avi_mjpeg.avi) / 2 )) avi_mjpeg.avi > broken_truncated.avi
printf 'This is not a video.\n' > broken_text.avi

: > manifest.tsv
for f in avi_rgb24.avi avi_rgb32.avi avi_pal8.avi avi_mjpeg.avi avi_mpeg4.avi mp4_h264.mp4 \
         mov_mjpeg.mov mpg_mpeg2.mpg wmv_wmv2.wmv mp4_vfr.mp4 comment_mpeg4.avi; do
  info=$(ffprobe -v error -count_frames -select_streams v:0 \
           -show_entries stream=nb_read_frames,width,height -of csv=p=0 "$f")
  IFS=, read -r w h n <<< "$info"
  printf '%s\t%s\t%s\t%s\n' "$f" "$n" "$w" "$h" >> manifest.tsv
done
