#!/usr/bin/env bash
# torva-port check against a wrong program in a stand-in emulator, its
# reports read by the consumers people use: TAP by Perl's TAP::Parser,
# JUnit by an XML parser, the trace by GTKWave's vcd2fst (and read back
# with fst2vcd); and record's files, ended by --for and by Ctrl+C.
#   check-reports.sh TORVA_PORT STAND_IN SCRATCH_DIR
# Without -e: every check runs and reports; the exit status says whether
# any failed.
set -uo pipefail
port=$1 stand_in=$2 work=$3
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
export TMPDIR=$work
failed=0
fail() { echo "FAIL: $*"; failed=1; }

cat >lab3.txt <<'SCENARIO'
case doubles a byte
write 110 21
expect 115 42 within 1s
expect 115 42
case negates a word
write-word 112 1000
expect-word 117 -1000 within 1s
SCENARIO
# Until a file has content, for at most five seconds.
await() { for _ in $(seq 100); do [[ -s $1 ]] && return 0; sleep 0.05; done; return 1; }

"$stand_in" wrong 20 30 >program.out &
program=$!
await program.out || fail "the stand-in did not start"
"$port" check --tap --junit junit.xml --trace trace.vcd lab3.txt >report.tap
status=$?
"$port" check --trace trace.csv lab3.txt >/dev/null
# Stopped by SIGTERM while it waits: its report still whole, status 3.
printf 'case waits\nexpect 115 99 within 20s\ncase not reached\nexpect 115 1\n' >long.txt
timeout --preserve-status 1 "$port" check --junit stopped.xml long.txt >stopped.txt
stopped_status=$?
kill $program 2>/dev/null; wait $program 2>/dev/null
[[ $status == 1 ]] || fail "check of a wrong program gave status $status, not 1"
[[ $stopped_status == 3 ]] || fail "check stopped by SIGTERM gave status $stopped_status, not 3"
[[ $(tail -n1 stopped.txt) == "ERROR the check could not be made: the check was stopped"* ]] ||
  fail "check stopped by SIGTERM ended: $(tail -n1 stopped.txt)"
# The program has ended, its answers left in the port file: nothing passes.
"$port" check --tap --junit left.xml lab3.txt >left.tap
left_status=$?
[[ $left_status == 3 ]] || fail "check with no program gave status $left_status, not 3"

tap=$(perl -MTAP::Parser -e '
  my $p = TAP::Parser->new({source => $ARGV[0]});
  my @yaml;
  while (my $r = $p->next) { push @yaml, $r->data->{got} . "@" . $r->data->{at} if $r->is_yaml }
  printf "%s %d %d %d %d %s\n", $p->version, $p->tests_planned, scalar($p->failed), scalar($p->skipped),
    scalar($p->parse_errors), join(",", @yaml);' report.tap)
[[ $tap == "13 3 2 1 0 22@lab3.txt:3,1000@lab3.txt:7" ]] || fail "TAP::Parser read: $tap"
bailed=$(perl -MTAP::Parser -e '
  my $p = TAP::Parser->new({source => $ARGV[0]});
  my $why = "";
  while (my $r = $p->next) { $why = $r->explanation if $r->is_bailout }
  print $why;' left.tap)
[[ $bailed == "the check could not be made: no program answered"* ]] || fail "TAP::Parser read no bail-out: $bailed"

junit=$(python3 -c '
import sys, xml.etree.ElementTree as ET
suite = ET.parse(sys.argv[1]).getroot().find("testsuite")
cases = [(c.get("name"), [f.get("message") for f in c.findall("failure")]) for c in suite.findall("testcase")]
print(suite.get("name"), suite.get("tests"), suite.get("failures"), cases)' junit.xml)
expected="lab3.txt 2 2 [('doubles a byte', ['port 115 is 22, expected 42 (waited N ms) at lab3.txt:3']), \
('negates a word', ['port 117/118 is 1000, expected -1000 (waited N ms) at lab3.txt:7'])]"
[[ $(sed -E 's/waited [0-9]+ ms/waited N ms/g' <<<"$junit") == "$expected" ]] || fail "the XML parser read: $junit"
# The checks that could not be made are errors, counted as such.
for report in "left.xml 2 2" "stopped.xml 2 2"; do
  read -r file tests errors <<<"$report"
  counts=$(python3 -c '
import sys, xml.etree.ElementTree as ET
suite = ET.parse(sys.argv[1]).getroot().find("testsuite")
print(suite.get("tests"), suite.get("errors"), len(suite.findall("testcase/error")), suite.get("failures"))' "$file")
  [[ $counts == "$tests $errors $errors 0" ]] || fail "the XML parser read of $file: $counts"
done

# The trace through GTKWave's reader and back: port 115's last value.
vcd2fst trace.vcd trace.fst >/dev/null 2>&1 || fail "vcd2fst refused the trace"
last=$(fst2vcd trace.fst 2>/dev/null | python3 -c '
import sys
code, last = None, None
for line in sys.stdin:
    words = line.split()
    if words[:2] == ["$var", "wire"] and words[4] == "port_115": code = words[3]
    elif len(words) == 2 and words[0].startswith("b") and words[1] == code: last = int(words[0][1:], 2)
print(last)')
[[ $last == 22 ]] || fail "GTKWave's reader read port 115 as '$last', not 22"
[[ $(head -n1 trace.csv) == "ms,110,115,112/113,117/118" ]] || fail "the CSV trace begins: $(head -n1 trace.csv)"

"$port" write 115 7 && "$port" write-word 117 -2 && "$port" record 115 117/118 --csv record.csv --for 250ms ||
  fail "record --for gave status $?"
# A row at the start and one at the end, 250 ms or a little later.
[[ $(cat record.csv) =~ ^ms,115,117/118$'\n'0,7,-2$'\n'(2[5-9][0-9]),7,-2$ ]] ||
  fail "record --csv wrote: $(cat record.csv)"
"$port" record 115 --vcd interrupted.vcd &
recorder=$!
# Until the end the trace is written beside its place, and moved there whole.
await_part() { for _ in $(seq 100); do compgen -G "$1.part-*" >/dev/null && return 0; sleep 0.05; done; return 1; }
await_part interrupted.vcd || fail "record began no trace"
sleep 0.3
kill -INT $recorder
wait $recorder || fail "record ended by Ctrl+C gave status $?"
vcd2fst interrupted.vcd interrupted.fst >/dev/null 2>&1 || fail "vcd2fst refused the interrupted trace"
[[ $(tail -n1 interrupted.vcd) == '#'[0-9]* ]] || fail "the interrupted trace has no end time"

[[ $failed == 0 ]] && echo "check's reports and record's traces read as written"
exit $failed
