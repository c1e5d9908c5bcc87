#include "tunnel/program_path.h"

namespace tunnel {

bool Quotable(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c == '"' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
  return true;
}

// A '/' or '\' byte is never the trail byte of a code page 949 character (trail bytes
// are ASCII letters or 0x81 and above), so a byte-wise walk keeps Korean names whole.
std::string WindowsFolder(std::string_view folder) {
  std::string out(folder);
  for (char& c : out)
    if (c == '/') c = '\\';
  while (out.size() > 1 && out.back() == '\\' && !(out.size() == 3 && out[1] == ':')) out.pop_back();
  return out;
}

std::string PathInFolder(std::string_view folder, std::string_view name) {
  std::string path = WindowsFolder(folder);
  if (path.empty() || path.back() != '\\') path += '\\';
  path += name;
  return path;
}

}  // namespace tunnel
