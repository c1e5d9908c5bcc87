// The script of the test-only OpenVPN program: what it writes to its log, and when.
//
// Read from the file that TUNRA_VEXOOP_SCRIPT names, else from vexoop-script.txt beside
// the program; with neither, the program plays kDefaultScript (a tunnel that comes up
// and stays up). Steps run in order, one a line; a line that starts with '#' is a
// comment, and a step's TEXT is the rest of the line, bytes as they are (code page 949):
//
//   log TEXT        appends "<time stamp> TEXT" and CR LF to the log, the time stamp
//                   as OpenVPN writes it ("Mon Mar 04 10:22:31 2024 ")
//   raw TEXT        appends TEXT and CR LF, nothing added
//   lines N TEXT    appends N stamped lines of TEXT
//   wait MS         pauses MS milliseconds
//   await NAME      waits until a file NAME (beside the log, or a full path) appears,
//                   deletes it and goes on; after 120 s it goes on anyway (journalled)
//   exit CODE       ends the program with that exit code (the log stays)
//   run COMMAND     under Wine: runs COMMAND, a Linux shell command, in the program's
//                   current folder and lives exactly as long as it does, ending with
//                   its exit code; when this program is ended, so is the command
//                   (its whole process group, within about 3 s): a real Linux
//                   OpenVPN behind it
//   journal PATH    where the journal goes (TUNRA_VEXOOP_JOURNAL wins; default
//                   vexoop-journal.txt beside the program)
//
// After the last step the program stays until it is ended (as OpenVPN does), unless
// the script's last step is `exit`.
//
// The journal gets one line per event, fields separated by tabs:
//   start   command=<command line>   directory=<current directory>   log=<log path>
//           config=<present|missing>
//   await   <name>   <arrived|timeout>
//   exit    <code>
//   run     <command>   <started|not-started WHY>, then   ended   <code>
//   problem <line number>   <text>   (a line the program did not understand; skipped)
#pragma once

#include <string>
#include <vector>

namespace vexoop {

struct Step {
  enum Kind { kLog, kRaw, kWait, kAwait, kExit, kRun } kind;
  std::string text;       // log and raw text, await name, command
  unsigned long value = 0;  // wait time, exit code, line count
};

struct Script {
  std::vector<Step> steps;
  std::string journal;  // empty: the default
};

// The steps of the default script: the lines of a tunnel that comes up.
extern const char* const kDefaultScript;

// `text` as a script; each line not understood is noted in `problems` as
// "<line number>\t<line>".
Script ParseScript(const std::string& text, std::vector<std::string>& problems);

}  // namespace vexoop
