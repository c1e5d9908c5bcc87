// The back end's extra OpenVPN directives (`openConfig`, items joined by '^') sorted
// into those the configuration file may carry and those it must not.
//
// The reply that carries them travels over plain HTTP in a keyless codec, so a forged
// reply must not be able to make the OpenVPN program run or load a program, write or
// read a file of its choosing, open a control port, send the user's credentials or
// machine details elsewhere, replace the client's certificate authority, or fake the
// log lines the client watches. Everything else is kept unchanged, in order.
//
// Items are read as OpenVPN's configuration reader reads a line (blanks separate
// parameters, quotes and backslash escapes, a leading "--" on the directive, "<name>"
// opening an inline block), so a quoted or escaped directive name is recognised too.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tunnel {

struct DroppedDirective {
  std::string shown;   // the item, or "<name> content" for a line inside a dropped block
  std::string reason;  // why, in a few words (for the diagnostics log)
};

struct OpenConfigItems {
  std::vector<std::string> kept;  // written as they are, in order
  std::vector<DroppedDirective> dropped;
};

// The longest item written: with its CR LF it stays below OpenVPN's 256-byte line
// buffer. OpenVPN 2.6 refuses a file with a longer line; older programs read the rest
// of such a line as a line of its own, which would smuggle a directive past the check.
inline constexpr std::size_t kMaxDirectiveBytes = 253;

// Splits `openConfig` at '^', passes over empty items and sorts the rest.
OpenConfigItems FilterOpenConfig(std::string_view openConfig);

}  // namespace tunnel
