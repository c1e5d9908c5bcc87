#!/usr/bin/env bash
# A real OpenVPN 2.6 against the client's working files.
#
# A server runs in one network namespace, a client in another, joined by a veth pair.
# The client's configuration and credential files are written by the client's own
# writer (openvpn_peer_helper write), in a folder standing for the program's folder,
# and the client runs there with the client's command line ("--config vexoen.opc --log
# event.log"). Nothing of the files needs adapting on Linux: the "ca" and
# "auth-user-pass" lines name files in that folder and "dev tap" works here too.
#
# Cases: the tunnel comes up (and carries a TCP exchange); the server is killed; a wrong
# password; the server's certificate has expired; it is not yet valid. Each client log
# is classified by the client's log scan (openvpn_peer_helper scan) and printed with
# the lines that decided it. Every wait is bounded; only processes started here are
# ended, by PID; the namespaces and the folder are always removed.
#
# Usage: real_openvpn_test.sh HELPER        (exit 77: skipped, with the reason)
set -uo pipefail

helper=${1:?usage: real_openvpn_test.sh HELPER}

skip() { echo "SKIP: $*"; exit 77; }
[[ $(id -u) -eq 0 ]] || skip "needs root (network namespaces and tap devices)"
command -v ip >/dev/null || skip "ip (iproute2) is not installed"
command -v openvpn >/dev/null || skip "openvpn is not installed (scripts/setup installs it)"
command -v openssl >/dev/null || skip "openssl is not installed"
command -v python3 >/dev/null || skip "python3 is not installed"
[[ -c /dev/net/tun ]] || skip "/dev/net/tun is missing"
probe="tunra-probe-$$"
ip netns add "$probe" 2>/dev/null || skip "ip netns add is not permitted here"
ip netns delete "$probe"

work=$(mktemp -d /tmp/tunra-openvpn-XXXXXX)
server_ns="tunra-ovpn-$$-s"
client_ns="tunra-ovpn-$$-c"
veth_s="tov$$s"
veth_c="tov$$c"
pids=()

cleanup() {
  local pid
  for pid in "${pids[@]}"; do stop_pid "$pid"; done
  ip netns delete "$server_ns" 2>/dev/null
  ip netns delete "$client_ns" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Ends one process started here: TERM, up to 3 s, then KILL.
stop_pid() {
  local pid=$1 i
  kill -0 "$pid" 2>/dev/null || return 0
  kill "$pid" 2>/dev/null
  for ((i = 0; i < 30; i++)); do
    kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null; return 0; }
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
}

# Waits up to $2 seconds for the fixed text $3 in file $1.
wait_for_text() {
  local file=$1 seconds=$2 text=$3 i
  for ((i = 0; i < seconds * 10; i++)); do
    grep -qF -- "$text" "$file" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

# Waits up to $2 seconds for process $1 to end.
wait_for_exit() {
  local pid=$1 seconds=$2 i
  for ((i = 0; i < seconds * 10; i++)); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  return 1
}

fail() {
  echo "FAIL: $*"
  for log in "$work"/server.log "$work"/prog/event.log; do
    [[ -f $log ]] && { echo "--- $log"; tail -n 40 "$log"; }
  done
  exit 1
}

# --- Certificates: a CA; the server's certificate valid now, expired, and not yet
# valid (openssl ca sets both dates; the CLI has no faketime).
pki=$work/pki
mkdir -p "$pki/newcerts"
: >"$pki/index.txt"
echo 1000 >"$pki/serial"
cat >"$pki/ca.cnf" <<EOF
[ ca ]
default_ca = test_ca
[ test_ca ]
dir = $pki
database = \$dir/index.txt
new_certs_dir = \$dir/newcerts
certificate = \$dir/ca.crt
private_key = \$dir/ca.key
serial = \$dir/serial
default_md = sha256
policy = any_name
unique_subject = no
email_in_dn = no
[ any_name ]
commonName = supplied
[ server_ext ]
basicConstraints = CA:FALSE
keyUsage = digitalSignature, keyAgreement
extendedKeyUsage = serverAuth
EOF
ec=(-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes)
openssl req -x509 "${ec[@]}" -keyout "$pki/ca.key" -out "$pki/ca.crt" -subj /CN=tunra-test-ca \
  -days 2 2>/dev/null || fail "CA certificate"
openssl req -new "${ec[@]}" -keyout "$pki/server.key" -out "$pki/server.csr" -subj /CN=tunra-test-server \
  2>/dev/null || fail "server request"
sign() {  # name, start, end
  openssl ca -batch -config "$pki/ca.cnf" -extensions server_ext -in "$pki/server.csr" \
    -out "$pki/$1.crt" -startdate "$2" -enddate "$3" >/dev/null 2>&1 || fail "signing $1"
}
sign valid "$(date -u -d '-1 hour' +%y%m%d%H%M%SZ)" "$(date -u -d '+1 day' +%y%m%d%H%M%SZ)"
sign expired 200101000000Z 200102000000Z
sign future 490101000000Z 491231000000Z

# --- Two namespaces and a veth pair between them.
ip netns add "$server_ns" || fail "namespace $server_ns"
ip netns add "$client_ns" || fail "namespace $client_ns"
ip link add "$veth_s" netns "$server_ns" type veth peer name "$veth_c" netns "$client_ns" || fail "veth pair"
ip -n "$server_ns" addr add 10.199.0.1/30 dev "$veth_s"
ip -n "$client_ns" addr add 10.199.0.2/30 dev "$veth_c"
for ns in "$server_ns" "$client_ns"; do
  ip -n "$ns" link set lo up
done
ip -n "$server_ns" link set "$veth_s" up
ip -n "$client_ns" link set "$veth_c" up

# --- The server: tap, username and password checked by a script, no client
# certificate, a restart of the client 3 s after the server goes silent.
cat >"$work/check-user.sh" <<'EOF'
#!/bin/sh
# via-file: the first line is the user, the second the password.
{ read -r user; read -r password; } <"$1"
[ "$user" = gamer01 ] && [ "$password" = pa55word ]
EOF
chmod 755 "$work/check-user.sh"
server_pid=
start_server() {  # certificate name
  cat >"$work/server.conf" <<EOF
dev tap
proto udp
local 10.199.0.1
port 1194
server 10.8.0.0 255.255.255.0
ca $pki/ca.crt
cert $pki/$1.crt
key $pki/server.key
dh none
verify-client-cert none
username-as-common-name
script-security 2
auth-user-pass-verify $work/check-user.sh via-file
keepalive 1 3
verb 3
EOF
  : >"$work/server.log"
  # ip netns exec replaces itself with openvpn: $! is the server's PID.
  ip netns exec "$server_ns" openvpn --config "$work/server.conf" --log "$work/server.log" &
  server_pid=$!
  pids+=("$server_pid")
  wait_for_text "$work/server.log" 10 "Initialization Sequence Completed" || fail "the server did not start ($1)"
}
stop_server() { stop_pid "$server_pid"; }

# --- The client: files from the client's writer, started as the client starts it.
prog=$work/prog
mkdir -p "$prog"
cp "$pki/ca.crt" "$prog/ca_1001.crt"
client_pid=
# The extra directives come through the writer's check: "up /bin/false" (with scripts
# allowed it would end the client) is dropped, "connect-retry 1" kept.
extra='connect-retry 1^script-security 2^up /bin/false'
start_client() {  # password [empty-user]
  "$helper" write "$prog" 10.199.0.1 1194 certs/ca_1001.crt "$extra" gamer01 "$1" 2>"$work/writer.err" ||
    { cat "$work/writer.err"; fail "the writer refused"; }
  # The writer refuses an empty user name; a damaged credentials file can still hold one.
  [[ ${2:-} == empty-user ]] && printf '\n%s\n' "$1" >"$prog/vrs.inf"
  rm -f "$prog/event.log"
  (cd "$prog" && exec ip netns exec "$client_ns" openvpn --config vexoen.opc --log event.log) &
  client_pid=$!
  pids+=("$client_pid")
}
stop_client() { stop_pid "$client_pid"; }

results=()
misses=()
# Classifies the client's log; $1 case, $2 expected code per the watched texts, $3 the
# text that should decide it.
classify() {
  local name=$1 expected=$2 text=$3 running=0 code line
  kill -0 "$client_pid" 2>/dev/null && running=1
  cp "$prog/event.log" "$work/$name.log"
  code=$("$helper" scan "$work/$name.log" "$running") || fail "scan of $name"
  line=$(grep -F -m1 -- "$text" "$work/$name.log" | cut -c1-120)
  results+=("$(printf '%-16s running=%s code=%-5s expected=%-5s %s' "$name" "$running" "$code" "$expected" "$line")")
  if [[ $code != "$expected" ]]; then
    misses+=("$name: expected $expected, got $code")
  fi
}

# 1. Up: the files are accepted, the tunnel is completed and carries traffic.
start_server valid
start_client pa55word
wait_for_text "$prog/event.log" 15 "Initialization Sequence Completed" || fail "the tunnel did not come up"
grep -qF "Options error" "$prog/event.log" && fail "OpenVPN refused the written configuration"
grep -qF "/bin/false" "$prog/event.log" && fail "a dropped directive reached OpenVPN"
[[ $(stat -c %a "$prog/vrs.inf") == 600 ]] || fail "vrs.inf is not readable by its owner only"
# A TCP exchange with the server's tunnel address, which only the tunnel reaches.
ip netns exec "$server_ns" timeout 10 python3 -c '
import socket
s = socket.create_server(("10.8.0.1", 7777))
c, _ = s.accept()
c.sendall(b"through the tunnel\n")
c.close()' &
listener=$!
pids+=("$listener")
for ((i = 0; i < 50; i++)); do
  reply=$(ip netns exec "$client_ns" timeout 3 bash -c 'exec 3<>/dev/tcp/10.8.0.1/7777 && cat <&3' 2>/dev/null)
  [[ $reply == "through the tunnel" ]] && break
  sleep 0.1
done
[[ $reply == "through the tunnel" ]] || fail "no TCP exchange through the tunnel"
stop_pid "$listener"
classify up 1 "Initialization Sequence Completed"

# 2. The server is killed: the client restarts after 3 s of silence.
kill -9 "$server_pid"
wait "$server_pid" 2>/dev/null
wait_for_text "$prog/event.log" 15 "[soft,ping-restart]" || fail "no restart after the server was killed"
classify server-killed -13 "[soft,ping-restart]"
stop_client

# 3. A wrong password: the server refuses it, the client ends.
start_server valid
start_client wrong-password
wait_for_text "$prog/event.log" 15 "AUTH_FAILED" || fail "no AUTH_FAILED"
wait_for_exit "$client_pid" 10
classify wrong-password -7 "AUTH_FAILED"
stop_client
stop_server

# 4. The server's certificate has expired.
start_server expired
start_client pa55word
wait_for_text "$prog/event.log" 15 "VERIFY ERROR" || fail "no verify error (expired)"
classify expired -3 "VERIFY ERROR"
stop_client
stop_server

# 5. The server's certificate is not yet valid.
start_server future
start_client pa55word
wait_for_text "$prog/event.log" 15 "VERIFY ERROR" || fail "no verify error (not yet valid)"
classify not-yet-valid -2 "VERIFY ERROR"
stop_client
stop_server

# 6. An empty user name in the credentials file: the program ends before connecting.
start_server valid
start_client pa55word empty-user
wait_for_text "$prog/event.log" 15 "is empty" || fail "no complaint about the empty user name"
wait_for_exit "$client_pid" 10
classify empty-user -8 "is empty"
stop_client
stop_server

echo "OpenVPN: $(openvpn --version | head -n 1 | cut -d' ' -f1-2)"
echo "case             program   status code (expected by the watched texts)  deciding log line"
printf '%s\n' "${results[@]}"
# OpenVPN 2.6 words a refused login and an empty user name differently from the older
# programs; the watched texts hold both forms, so every case must give its code.
status=0
for miss in "${misses[@]}"; do
  echo "FAIL: $miss"
  status=1
done
exit "$status"
