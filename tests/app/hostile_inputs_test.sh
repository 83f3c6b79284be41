#!/bin/bash
# Hostile inputs against the built program: each row sets up a scratch folder, runs one
# command with a time limit, and checks its exit code, a piece of its message and the files
# it leaves behind. Usage: hostile_inputs_test.sh QUILLET
Q=$(realpath "$1")
failures=0
T='<HTML><HEAD></HEAD><BODY>x</BODY></HTML>'

# row NAME SETUP COMMAND EXIT MESSAGE AFTER: SETUP and AFTER are shell snippets run in the
# scratch folder; AFTER must succeed.
row() {
  local dir
  dir=$(mktemp -d)
  (cd "$dir" && eval "$2")
  (cd "$dir" && eval "timeout 20 $3") >"$dir/.out" 2>"$dir/.err"
  local rc=$?
  local why=""
  [ "$rc" = "$4" ] || why="exit $rc, expected $4"
  [ -z "$5" ] || grep -qF -- "$5" "$dir/.err" || why="$why; message lacks '$5'"
  (cd "$dir" && eval "$6") || why="$why; files: $(cd "$dir" && ls -A | tr '\n' ' ')"
  if [ -n "$why" ]; then
    echo "FAIL $1: $why"; sed 's/^/  stderr: /' "$dir/.err" | head -5
    failures=$((failures + 1))
  fi
  rm -rf "$dir"
}

row "number too large in the project" \
  "echo '$T' > t.html; echo '{\"x\": 1e400, \"nodes\": []}' > p.json" \
  "$Q report t.html --project p.json" 1 "p.json: line 1, column 7: a number too large" '[ ! -e t.htm ]'
row "repeated node name" \
  "echo '$T' > t.html; echo '{\"nodes\": [{\"name\": \"A\"}, {\"name\": \"A\"}]}' > p.json" \
  "$Q report t.html --project p.json" 1 "nodes[1].name: repeats the name of nodes[0]" '[ ! -e t.htm ]'
row "report over its own template" "echo '$T' > t.htm" \
  "$Q report t.htm" 1 "it is one of the run's inputs" 'grep -q "<BODY>x" t.htm && [ "$(ls -A | grep -v "^\.")" = t.htm ]'
row "report over its project" "echo '$T' > t.html; echo '{\"nodes\": []}' > p.json" \
  "$Q report t.html --project p.json --name p --ext .json" 1 "it is one of the run's inputs" 'grep -q nodes p.json'
row "report over a list it reads" \
  "echo '<HTML><BODY><B><!--\$VX ELT VALUE=%{READLIST(\"l.htm\")}%-->v</B></BODY></HTML>' > t.html; echo 1 > l.htm" \
  "$Q report t.html --name l" 1 "it is one of the run's inputs" '[ "$(cat l.htm)" = 1 ]'
row "link at the report replaced, not followed" "echo '$T' > t.html; echo keep > other; ln -s other r.htm" \
  "$Q report t.html --name r" 0 "" '[ "$(cat other)" = keep ] && [ ! -L r.htm ] && grep -q x r.htm'
row "failed run keeps the previous report" \
  "echo '<HTML><BODY><B><!--\$VX ELT REPEAT=%{100000}%-->x</B></BODY></HTML>' > t.html; echo previous > t.htm" \
  "$Q report t.html --max-output 1K" 1 "output limit" '[ "$(cat t.htm)" = previous ] && [ $(ls -A | wc -l) = 4 ]'
row "format onto its input" "echo '$T' > t.htm" \
  "$Q format t.htm -o t.htm" 1 "it is one of the run's inputs" "[ \"\$(cat t.htm)\" = '$T' ] && [ \$(ls -A | wc -l) = 3 ]"
row "template from /dev/zero" "" "$Q check /dev/zero" 1 "it is not a regular file" true
row "template is a FIFO" "mkfifo f" "$Q report f" 1 "it is not a regular file" '[ $(ls -A | wc -l) = 3 ]'
row "strict run with a failed evaluation keeps the previous report" \
  "echo '<HTML><BODY><B><!--\$VX ELT VALUE=%{while 1 do 0; 5;}%--></B></BODY></HTML>' > t.html; echo previous > t.htm" \
  "$Q report t.html --strict --max-loop 10" 3 "no report was written (--strict)" \
  '[ "$(cat t.htm)" = previous ] && [ $(ls -A | wc -l) = 4 ]'
row "template over its size bound from the standard input" "" \
  "echo '$T' | $Q report - --max-input=10" 1 "cannot read the standard input: it is larger than 10 bytes" \
  '[ ! -e report.htm ]'
row "template is a folder" "mkdir d" "$Q format d" 1 "it is a folder" true
row "template past --max-input" "echo '$T' > t.html" "$Q report t.html --max-input 10" 1 "larger than 10 bytes" '[ ! -e t.htm ]'
row "UTF-8 byte-order mark skipped" "printf '\xef\xbb\xbf$T' > t.htm" "$Q check t.htm" 0 "" true
row "UTF-16 refused" "printf '\xff\xfe<\0H\0' > t.htm" "$Q check t.htm" 1 "UTF-16" true
row "NUL byte kept visible and reported" "printf '<HTML><BODY>a\0b</BODY></HTML>' > t.htm" \
  "$Q check t.htm >&2" 1 "t.htm:1:14: error: text: a NUL byte" true
row "unreadable template says why" "echo '$T' > t.htm; chmod 000 t.htm" \
  "setpriv --reuid=65534 --regid=65534 --clear-groups $Q check t.htm" 1 "Permission denied" true
row "list that is a folder or device" \
  "mkdir sub; echo '<HTML><BODY><B><!--\$VX ELT VALUE=%{READLIST(\"sub\")}%-->v</B><B><!--\$VX ELT VALUE=%{READLIST(\"/dev/null\")}%-->w</B></BODY></HTML>' > t.html" \
  "$Q report t.html --log" 0 "" 'grep -q "sub:-1):it is a folder" .err && grep -q "/dev/null:-1):it is not a regular file" .err'
row "format keeps the BODY out of an unclosed HEAD" "printf '<HTML><BODY BGCOLOR=red>x</BODY></HTML>' > t.html" \
  "$Q format t.html -o o.html" 0 "" "$Q format --flags 2 o.html | grep -q '</HEAD>' && $Q format --flags 2 o.html | grep -q '<BODY BGCOLOR=red>x'"
row "lists that read themselves stop at the run's budget" \
  "echo '<HTML><BODY><B><!--\$VX ELT VALUE=%{SIZE(READLIST(\"l.txt\"))}%-->v</B></BODY></HTML>' > t.html; for i in 1 2 3 4 5 6 7 8; do echo 'READLIST(\"l.txt\")' >> l.txt; done" \
  "$Q report t.html --max-loop 1000" 0 "together) with READLIST lines" 'grep -q "<B>" t.htm'
row "user functions that fan out stop at the run's budget" \
  "(echo '<HTML><HEAD>'; for i in \$(seq 0 39); do echo \"<!--\\\$VX VAR NAME=v\$i VALUE=%{@v\$((i+1))(ARGS[0] * 2) + @v\$((i+1))(ARGS[0] * 2 + 1)}%-->\"; done; echo '<!--\$VX VAR NAME=v40 VALUE=%{1}%--></HEAD><BODY><B><!--\$VX ELT VALUE=%{@v0(1)}%-->v</B></BODY></HTML>') > t.html" \
  "$Q report t.html --max-loop 100000" 0 "together) with user-function calls" 'grep -q "<B>#LOOP#" t.htm'
row "restricted lists stay in the template's folder" \
  "mkdir t t/s; echo 5 > x.txt; ln -s ../x.txt t/l.txt; echo 6 > t/s/in.txt; echo '<HTML><BODY><B><!--\$VX ELT VALUE=%{SIZE(READLIST(\"../x.txt\"))}%-->v</B><B><!--\$VX ELT VALUE=%{SIZE(READLIST(\"l.txt\"))}%-->v</B><I><!--\$VX ELT VALUE=%{SIZE(READLIST(\"s/../s/in.txt\"))}%-->v</I></BODY></HTML>' > t/t.html" \
  "$Q report t/t.html --restrict-files --log -o t" 0 "x.txt:-1):it is outside the folder" \
  '[ $(grep -c "it is outside the folder" .err) = 2 ] && grep -q "<I>1</I>" t/t.htm'

[ "$failures" = 0 ] && echo "all rows passed"
exit $((failures > 0))
