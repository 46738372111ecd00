#pragma once
// Starting another program from a command line with a window style
// (1: normal window with focus).
#include <string>

namespace velmora {

class ProgramStart {
 public:
  virtual ~ProgramStart() = default;
  virtual void Shell(const std::string& commandLine, int windowStyle) = 0;
};

}  // namespace velmora
