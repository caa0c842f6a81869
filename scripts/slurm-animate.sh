#!/bin/sh
# A Slurm array job for vorticel-cli animate: each task renders its own frames; together they
# give the bytes of one whole run, and a task run again skips the frames it already wrote.
#
#   sbatch --array=1-12 scripts/slurm-animate.sh film.vta frames 48
#
# renders the 48 frames of film.vta into frames/, 4 frames per task (frames / tasks). Then,
# on any machine: vorticel-cli animate film.vta -o frames --video film.mp4 (nothing to render).
#SBATCH --job-name=vorticel-animate
#SBATCH --cpus-per-task=4
#SBATCH --output=vorticel-animate-%A_%a.log
set -eu
animation=$1
folder=$2
frames=$3
tasks=${SLURM_ARRAY_TASK_COUNT:-1}
task=${SLURM_ARRAY_TASK_ID:-1}
first=$(( (task - 1) * frames / tasks + 1 ))
last=$(( task * frames / tasks ))
[ "$first" -le "$last" ] || exit 0
exec "${VORTICEL_CLI:-vorticel-cli}" animate "$animation" -o "$folder" --only "$first-$last"
