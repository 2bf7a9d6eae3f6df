#!/usr/bin/env bash
# Reading and writing a generated 100,000-entity drawing: Kelvo's host model beside ezdxf
# (Debian's python3-ezdxf) on the same file, in the same run. Target: at least 10 times faster.
# Then the corpus of real drawings beside the repository, if it is there: each under a second.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake ninja-build g++ libgtest-dev python3-ezdxf
cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVO_GUI=OFF >/dev/null
cmake --build build-rel --target dxf_bench >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build-rel/bin/dxf_bench "$work/big.dxf" | tee "$work/kelvo.txt"
/usr/bin/python3 - "$work/big.dxf" "$work/kelvo.txt" <<'PY'
import re, sys, time
import ezdxf
path, mine = sys.argv[1], open(sys.argv[2]).read()
t0 = time.perf_counter()
doc = ezdxf.readfile(path)
t1 = time.perf_counter()
doc.saveas(path + ".ezdxf.dxf")
t2 = time.perf_counter()
print(f"ezdxf: read {t1 - t0:.3f} s, write {t2 - t1:.3f} s")
r, w = map(float, re.findall(r"read ([0-9.]+) s, write ([0-9.]+) s", mine)[0])
print(f"kelvo is {(t1 - t0) / r:.1f}x faster reading, {(t2 - t1) / w:.1f}x faster writing (target 10x)")
PY
# Drawings other programs wrote, where they stand beside the repository: none slower than a second.
if [ -d ../shared/dxf-corpus ]; then build-rel/bin/dxf_bench --corpus ../shared/dxf-corpus; fi
