# Shared by the Windows tests that compare a run's output with an expected
# transcript, whose time line reads "Time taken: T".
# Usage: . transcript.sh

# masked FILE: the output with CR LF folded, the time line's numbers as T
# and a rate run's line of threads and rate as RATE.
masked() {
  sed -E 's/\r$//
    s/^Time taken: [0-9]+ Minutes, [0-5]?[0-9] Seconds, [0-9]{1,3} Milliseconds$/Time taken: T/
    s/^[0-9]+ threads? on [0-9]+ CPUs?: each thread [0-9]+\.[0-9]{3} to [0-9]+\.[0-9]{3} seconds; [0-9]+\.[0-9]{2} runs a minute$/RATE/' "$1"
}

# expected_of EXPECTED [THREADS]: the transcript of a single run, or with
# THREADS that of a rate run on that many: its banner, and RATE after the time.
expected_of() {
  if [ -z "${2:-}" ]; then
    cat "$1"
  else
    sed -E "1s/ - Esc to quit/ on $2 threads - Esc to quit/
      s/^Time taken: T$/Time taken: T\nRATE/" "$1"
  fi
}

# check_run NAME OUTPUT EXPECTED [THREADS]: says ok or FAIL, with the output.
check_run() {
  if [ "$(masked "$2")" = "$(expected_of "$3" "${4:-}")" ]; then
    echo "ok   $1"
  else
    echo "FAIL $1: unexpected output:"; cat "$2"; echo
    return 1
  fi
}
