#!/usr/bin/env bash
# Builds everything and runs the benchmarks under Wine on a private virtual
# display; prints the table and keeps it in bench/RESULTS.md. Arguments go to
# the bench program (--quick: fewer repetitions, for trying it out; a quick
# run does not replace RESULTS.md; --only load|icons|paint|dispatch|objects|health|processes runs one
# section).
set -euo pipefail
TARVOLO_PREFIX=bench
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

install_packages
build_all
# Everything of the benchmark's Wine session runs on one CPU. On this kind of
# virtual machine waking a process on the other CPU takes tens of
# microseconds, and every call into the wineserver is such a wake-up (about
# 50 us a round trip across CPUs against 11 us on one): figures that talk to
# the server would measure the machine's wake-up latency, and swing by 2x
# from run to run.
taskset -pc 0 $$ >/dev/null
# Wine's own diagnostics stay off: it reports some calls as "fixme" every
# time they are made (LockWindowUpdate, which every frame paint ends with,
# among them), and each report is a write to the terminal that would be
# timed as the program's.
export WINEDEBUG=-all
wine_session

out=$(mktemp)
wine "$BUILD/bench/tarvolo_bench.exe" "$@" </dev/null >"$out"
cat "$out"
case " $* " in
  *" --quick "* | *" --only "*) ;;
  *)
    {
      echo "# Benchmark results"
      echo
      echo "Last run: $(date -u '+%Y-%m-%d %H:%M UTC'), \`scripts/bench.sh\`, Wine $(wine --version 2>/dev/null | sed 's/^wine-//'), $(nproc) CPUs."
      echo "Figures are medians of repeated runs [min–max]; each ratio divides a median by its floor's median from the same run."
      echo
      tr -d '\r' <"$out"
    } >"$ROOT/bench/RESULTS.md"
    echo "== written to bench/RESULTS.md"
    ;;
esac
rm -f "$out"
