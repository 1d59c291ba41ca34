"""Checks a short run's result in JSON, as a Windows program under Wine wrote
it, with Python's own parser: the fields of a completed, valid single run,
the primes of the expected transcript's report lines, and the CPU's name.

Usage: check_result.py RESULT EXPECTED_TRANSCRIPT CPU
CPU: the name the result must give, or '-' for any but an empty one."""
import json
import re
import sys

result_path, transcript_path, cpu = sys.argv[1:4]
with open(result_path, encoding="utf-8", newline="") as f:
    result = json.loads(f.read())
with open(transcript_path, encoding="utf-8") as f:
    primes = [int(p) for p in re.findall(r"Prime: (\d+)", f.read())]
faults = []
for field, wanted in [("schema", 1), ("mode", "single"), ("threads", 1), ("ended", "completed"), ("valid", True)]:
    if result.get(field) != wanted:
        faults.append(f"{field} is {result.get(field)!r}, not {wanted!r}")
if result["per_thread"][0]["millionth_primes"] != primes:
    faults.append(f"millionth_primes are {result['per_thread'][0]['millionth_primes']}, not {primes}")
if not result.get("cpu") or (cpu != "-" and result["cpu"] != cpu):
    faults.append(f"cpu is {result.get('cpu')!r}, not {cpu!r}")
print(("FAIL " + "; ".join(faults)) if faults else f"ok   result in JSON: cpu {result['cpu']!r}, {result['program']}")
sys.exit(1 if faults else 0)
