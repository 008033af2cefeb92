# shellcheck shell=bash
# Shared by the scripts that time zentora-cli on the benchmark's 60
# pictures. Sourced after BUILD, CLI and WORK are set.

# The 60 pictures in $WORK/pictures, listed in PICTURES, and a project of
# them at $WORK/project/bench.zentoraprj.
make_bench_project() {
  mapfile -t PICTURES < <("$BUILD/bench/make_photo_pictures" "$WORK/pictures" 60)
  local args=() picture
  for picture in "${PICTURES[@]}"; do
    args+=(--picture "$picture")
  done
  "$CLI" project create "$WORK/project/bench.zentoraprj" "${args[@]}" > /dev/null
}

# Seconds of one run, to the microsecond.
seconds() {
  local start end
  start=$(date +%s%N)
  "$@"
  end=$(date +%s%N)
  echo "scale=6; ($end - $start) / 1000000000" | bc
}

median() {
  sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
