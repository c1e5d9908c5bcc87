// The words of the diagnostics log's lines for routes, adapters and binding tools.
//
// The log file (net/diag_log_file.h) puts "YYYY-MM-DD HH:MM:SS " before each line.
// Every line is
//
//     <area> <action> <arguments> -> <result>
//
// area       route | adapter | binding
// values     dotted addresses and decimal numbers as they are; free texts (adapter
//            descriptions, device names, command lines, lists) in double quotes, with a
//            double quote inside written as a single quote; an empty value is "-"
// result     the system call's result: Win32 codes in decimal (0 is success), HRESULTs
//            as 0x%08X; "refused <why>" when the client did not ask the system at all
//
// The lines, one per call of the system or decision of a policy:
//
//   route add <dest>/<mask> via <hop> if <index> metric <policy> as <written> -> <code>
//   route add <dest>/<mask> via <hop> if <index> metric <policy> -> refused bad-argument
//   route add <dest>/<mask> via <hop> if <index> metric <policy> -> refused not-unicast
//   route delete <dest>/<mask> via <hop> if <index> metric <reported> -> <code>
//   route restore <dest>/<mask> via <hop> if <index> metric <reported> -> <code>
//   route delete-metric <policy> -> <0|-1>
//   route delete-interface <index> <dest>/<mask> -> <0|-1>
//   route delete-via <hop> <dest>/<mask> -> <0|-1>
//   route table -> <code>                      (the route table cannot be read)
//   route peer -> <address>:5938 | none
//   route physical-path -> if <index> via <hop> | none
//   route tunnel "<routeList>" adapter "<description>" if <index> address <addr> -> <result>
//   route swap if <index> via <hop> tunnel if <index> via <hop> metric <policy> -> <0|failed>
//   route undo -> <0|-1>
//   adapter find "<description>" -> <index>     (0 none, -1 list unreadable)
//   adapter count "<description>" -> <count>
//   adapter guid if <index> -> <guid>
//   adapter mac <guid> key <subkey> set <mac> -> <code>
//   adapter mac <guid> key <subkey> delete -> <code>
//   adapter mac <guid> <mac|-> -> <matched subkeys> | refused <empty-guid|bad-mac>
//                                 | class-key <code>
//   adapter restart <guid> <connect|disconnect> try <n> -> <hresult>
//   adapter restart <guid> <connect|disconnect> -> refused <empty-guid|no-netshell>
//   adapter enable "<device name>" <on|off> <guid> -> <hresult>
//   adapter enable "<device name>" <on|off> -> <hresult>   (result of the whole call)
//   binding run "<command line>" -> exit <code> | not-started <error> | timeout <ms>
//   binding tools "<adapter>" -> <1|-1|-2> | refused bad-argument
//
// Example: "route add 10.1.2.3/255.255.255.255 via 192.168.0.1 if 3 metric 50 as 75 -> 0".
//
// The other areas write their own lines into the same file (their sources hold the exact
// words); each names its area first and its result last:
//
//   ras dial entry=<entry> phone=<server> user=<user> phonebook=<path>: <outcome>
//   ras hangup|status|projection connection <handle>: <outcome>
//   openvpn launch "<command line>" -> pid <n> | not-started <error> | refused bad-argument
//   process end "<name>" pid <n> -> ended | ending | not-ended | not-opened
//   process end "<name>" -> none | list-unreadable
//   process kill-tree "<command line>" -> exit <code> | timeout <ms> | not-started <error>
//   hook <EVENT> start "<path>" -> 0 | not-started <error>
//   hook <EVENT> end "<image>" -> <1|0> | refused <why>
//   download <url> to <path> -> 0 <bytes> | failed <why>
//   adapter installer "<path>" -> <0|error>
//   firewall run|repeat "<command line>" -> exit <code> | not-started <error> | timeout <ms>
//   tap check "<name>" -> ok | reinstall | refused no-name
//   tap reinstall "<folder>" arch <n> -> 64-bit | 32-bit
//   tap driver remove|install "<command line>" -> exit <code> | not-started <error> | timeout <ms>
//   openvpn config|credentials ...: the directives dropped from the back end's list
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/iphelper.h"

namespace net::diag {

// A value: the text, or "-" when it is empty.
std::string Value(std::string_view text);

// A free text in double quotes (a double quote inside becomes a single quote).
std::string Quoted(std::string_view text);

// An HRESULT as 0x%08X.
std::string Hresult(long hr);

// "<dest>/<mask> via <hop> if <index> metric <metric1>" of a route row.
std::string RouteText(const platform::RouteRow& row);

}  // namespace net::diag
