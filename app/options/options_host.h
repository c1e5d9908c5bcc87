// What the options dialog asks of others: of the main window, the network connection
// switch; of its own window, what is not a control (the open-file dialog, closing).
// The main window and the window layer implement these; the dialog's logic only calls
// them.
#pragma once

#include <string>

namespace app {

class IOptionsHost {
 public:
  virtual ~IOptionsHost() = default;
  // Connects or disconnects every network connection of the device `device` (the
  // OpenVPN adapter's, which must not take the traffic of a dialled tunnel).
  virtual int EnableConnectionByDevice(const std::string& device, bool enable) = 0;
};

// The answer of the open-file dialog.
enum class ProgramChoice {
  kCancelled,  // the user cancelled, or the dialog failed
  kChosen,     // `path` holds the chosen file's full path
  kNotCp949,   // a file was chosen whose path code page 949 cannot write
};

class IOptionsView {
 public:
  virtual ~IOptionsView() = default;
  // The system's open-file dialog for one executable (kProgramFilterName and
  // kProgramFilterPattern, no default extension or initial name), owned by the
  // options dialog. It must leave the process's current directory where it was.
  virtual ProgramChoice ChooseProgram(std::string& path) = 0;
  // Ends the modal dialog.
  virtual void Close() = 0;
};

}  // namespace app
