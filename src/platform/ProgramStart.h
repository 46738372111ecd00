#pragma once
// Starting another program from a command line with a window style
// (1: normal window with focus).
#include <string>

namespace velmora {

class ProgramStart {
 public:
  virtual ~ProgramStart() = default;
  virtual void Shell(const std::string& commandLine, int windowStyle) = 0;
  // The system's Windows folder, without a trailing backslash ("C:\WINDOWS"):
  // programs of the system are started from there by their full path, so
  // that a file of the same name elsewhere is never run instead.
  virtual std::string WindowsDirectory() = 0;
};

}  // namespace velmora
