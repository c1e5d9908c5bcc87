#include "app/options/path_label.h"

#include "text/cp949.h"

namespace app {

namespace {

constexpr std::string_view kEllipsis = "...";

}  // namespace

std::string ProgramPathLabel(std::string_view path) {
  const std::size_t size = path.size();
  if (size <= kPathLabelHead + kEllipsis.size() + kPathLabelTail) return std::string(path);
  // One walk over the character boundaries: the last one within the head and the
  // first from which the rest fits the tail (the head's boundaries all come before
  // the tail's, as the path is longer than both). Characters are only found walking
  // forward: a trail byte may look like a lead byte.
  std::size_t headEnd = 0;
  std::size_t tailStart = size;
  for (std::size_t i = 0; i < size; i += text::CharLength(path, i)) {
    if (i <= kPathLabelHead) headEnd = i;
    if (size - i <= kPathLabelTail) {
      tailStart = i;
      break;
    }
  }
  std::string label(path.substr(0, headEnd));
  label += kEllipsis;
  label += path.substr(tailStart);
  return label;
}

}  // namespace app
