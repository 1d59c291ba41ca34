#!/usr/bin/env bash
# The playbook and tools/compare, as a lab would use them: the playbook with
# Ansible's local connection against this machine under two names, one with
# the short-run program and one with a program that computes wrong primes;
# then tools/compare on what it gathered, a result cut short by Esc (typed
# into a real run through a pseudo-terminal) and two files that are no
# results. Skipped where Ansible or Debian's matplotlib is missing.
# Usage: lab.sh WORK PRIMEBENCH SHORT_RUN FAULTY_RUN
set -u
work=$1 primebench=$2 short_run=$3 faulty_run=$4
repo=$(cd "$(dirname "$0")/.." && pwd)
command -v ansible-playbook >/dev/null || { echo "SKIPPED: ansible is not installed (tools/packages: lab)"; exit 77; }
/usr/bin/python3 -c 'import matplotlib' 2>/dev/null ||
  { echo "SKIPPED: /usr/bin/python3 has no matplotlib (tools/packages: lab)"; exit 77; }
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
# ansible-core wants a UTF-8 locale; its own files stay in here.
export LC_ALL=C.UTF-8 ANSIBLE_LOCAL_TEMP=$work/tmp ANSIBLE_REMOTE_TEMP=$work/tmp ANSIBLE_NOCOLOR=1
failures=0
check() { # NAME CONDITION...
  local name=$1
  shift
  if "$@"; then echo "ok   $name"; else echo "FAIL $name"; failures=$((failures + 1)); fi
}

# Two names of this one machine: one run at a time, so that they do not share it.
# A relative program is found from here, where the playbook runs.
mkdir -p programs && cp "$short_run" programs/primebench || exit 1
cat >inventory <<INVENTORY
localhost
wrong-primes ansible_host=localhost primebench_program=$faulty_run
[all:vars]
primebench_program=programs/primebench
ansible_python_interpreter=/usr/bin/python3
primebench_runs_at_once=1
INVENTORY
ansible-playbook -c local -i inventory -e primebench_results="$work/results" "$repo/ansible/primebench.yml" >playbook.out 2>&1
status=$?
cat playbook.out
check "the playbook fails for the host with wrong primes (status $status)" test "$status" -ne 0
check "it says why" grep -q 'fatal: \[wrong-primes\]: FAILED.*the result is not valid' playbook.out
check "and gathers both results, named by host" test -s results/localhost.json -a -s results/wrong-primes.json

# A real run cut short by Esc, on a terminal of its own.
/usr/bin/python3 - "$primebench" >esc.json <<'PYTHON'
import os, pty, sys, time
pid, fd = pty.fork()
if pid == 0:
    os.execv(sys.argv[1], [sys.argv[1], "--json"])
time.sleep(0.5)
os.write(fd, b"\x1b")
out = b""
while True:
    try:
        chunk = os.read(fd, 4096)
    except OSError:
        break
    if not chunk:
        break
    out += chunk
os.waitpid(pid, 0)
sys.stdout.write(out.decode().replace("\r\n", "\n"))
PYTHON
echo '{"name": "another tool"}' >stranger.json
echo 'no JSON at all' >garbage.json

"$repo/tools/compare" --chart chart.png results/*.json esc.json stranger.json garbage.json >table.txt 2>errors.txt
status=$?
cat table.txt errors.txt
check "compare succeeds (status $status)" test "$status" -eq 0
# The table: the valid result ranked first, the other two after it, unranked.
check "the valid result is ranked first" grep -qE '^ +1 .*\(localhost\.json\)' <(sed -n 2p table.txt)
check "the wrong result is not ranked, and says so" grep -qE '^ +- .* NO +completed$' table.txt
check "the run cut short by Esc is not ranked" grep -qE '^ +- .* yes +esc$' table.txt
check "no other result is ranked" test "$(grep -cE '^ +[0-9]+ ' table.txt)" -eq 1
check "a file that is no result is named and skipped" grep -q 'stranger.json: skipped' errors.txt
check "so is one that is no JSON" grep -q 'garbage.json: skipped' errors.txt
check "the chart is a PNG, of a size to read" /usr/bin/python3 -c '
import sys, matplotlib.image as image
with open("chart.png", "rb") as f:
    assert f.read(8) == b"\x89PNG\r\n\x1a\n"
height, width = image.imread("chart.png").shape[:2]
assert width >= 600 and height >= 150, (width, height)'
exit $((failures > 0))
