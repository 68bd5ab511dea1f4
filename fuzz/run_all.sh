#!/usr/bin/env bash
# Runs every fuzz target for SECONDS seconds, seeded from fuzz/corpus/<target>, tests/data and
# data/demo. New inputs go to a working corpus in the build folder, findings to artifacts/.
#   fuzz/run_all.sh BUILD_FUZZ_DIR [SECONDS] [TARGET...]
# FUZZ_SEED=N fixes libFuzzer's random seed, so that a run can be repeated (CI does).
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
bin="${1:?usage: run_all.sh BUILD_FUZZ_DIR [SECONDS] [TARGET...]}"
seconds="${2:-60}"
shift 2 2>/dev/null || shift $#
bin="$(cd "$bin" && pwd)"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(listformat codepage numbers mapfile report export players gravities)
fi

# Files of the test data and the demo galaxy that suit each reader.
seed_files() {
  local dirs=("$root/tests/data" "$root/data/demo")
  local d
  for d in "${dirs[@]}"; do
    [ -d "$d" ] || continue
    case "$1" in
      mapfile)   find "$d" -type f -name '*.map' ;;
      report)    find "$d" -type f -regex '.*\.p[0-9]+' ! -name 'export.p*' ;;
      export)    find "$d" -type f -name 'export.p*' ;;
      players)   find "$d" -type f -name 'player.inf*' ;;
      gravities) find "$d" -type f -name 'gravity.csv*' ;;
      listformat) find "$d" -type f \( -name 'player.inf' -o -name 'gravity.csv' -o -name 'export.p*' \) ;;
      codepage|numbers) find "$d" -type f -size -4k \( -name '*.map' -o -name 'player.inf' \) ;;
    esac
  done 2>/dev/null | grep -v '/fuzz-crashes/' || true
}

failed=()
for t in "${targets[@]}"; do
  exe="$bin/fuzz_$t"
  if [ ! -x "$exe" ]; then echo "fuzz $t: MISSING ($exe)"; failed+=("$t"); continue; fi
  work="$bin/work/$t"; art="$bin/artifacts/$t"
  mkdir -p "$work" "$art"
  cp -n "$here/corpus/$t/"* "$work/" 2>/dev/null || true
  while IFS= read -r f; do
    [ -n "$f" ] && cp "$f" "$work/seed-$(basename "$f")-$(cksum < "$f" | cut -d' ' -f1)"
  done < <(seed_files "$t")
  log="$bin/fuzz_$t.log"
  echo "fuzz $t: ${seconds}s, $(ls "$work" | wc -l) inputs in corpus"
  ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=0:quarantine_size_mb=64 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$exe" ${FUZZ_SEED:+-seed="$FUZZ_SEED"} -max_total_time="$seconds" -timeout=1 -rss_limit_mb=256 -malloc_limit_mb=256 -max_len=8192 \
      -dict="$here/vornex.dict" -artifact_prefix="$art/" -print_final_stats=1 "$work" >"$log" 2>&1
  rc=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
  if [ $rc -eq 0 ] && ! grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:' "$log"; then
    echo "fuzz $t: clean (${runs:-?} runs)"
  else
    echo "fuzz $t: FAILED (exit $rc), see $log; reproducers in $art"
    grep -E 'ERROR:|runtime error:|invariant broken|SUMMARY' "$log" | head -5 | sed 's/^/    /'
    failed+=("$t")
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzzing found problems in: ${failed[*]}"
  exit 1
fi
echo "fuzzing: every target clean"
