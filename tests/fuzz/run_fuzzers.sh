#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for FUZZ_SECONDS (default
# 60), seeding the corpora from the content of the main build.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${FUZZ_SECONDS:-60}
main=${BUILD:-build}
out=build-fuzz

CC=clang CXX=clang++ cmake -S . -B $out -G Ninja -DPICTOLEX_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build $out --target text_fuzzer jpeg_fuzzer

mkdir -p $out/corpus/jpeg $out/corpus/text
cp $main/content/pictures/*.jpg $main/content/banner.jpg $out/corpus/jpeg/ 2>/dev/null || true
# Text seeds: a few words with each mode flag, followed by the real glossary.
glossary=$main/content/text/glossary.txt
for word in "Plant cell" cell e "[*v*]001" "a:b"; do
  for flag in 0 1; do
    f=$out/corpus/text/seed-$flag-$(echo "$word" | tr -c 'a-z0-9' _)
    { printf "\\x3$flag"; printf '%s\0' "$word"; head -c 4000 "$glossary"; } > "$f"
  done
done

failed=0
for target in jpeg text; do
  echo "== ${target}_fuzzer for ${seconds}s"
  log=$out/${target}_fuzzer.log
  if ! $out/tests/fuzz/${target}_fuzzer $out/corpus/$target -max_total_time="$seconds" \
      -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 -artifact_prefix=$out/ >"$log" 2>&1; then
    failed=1
    echo "FAILED: see $log; the input that failed is in $out/"
  fi
  grep -E "DONE|stat::number_of_executed_units|ERROR|SUMMARY" "$log" || true
done
exit $failed
