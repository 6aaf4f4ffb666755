#pragma once
// The one error that ends a chain of script runs. Only event boundaries catch it
// (a choice, a timer, a button, start-up) and show it in the error dialog.
#include <stdexcept>
#include <string>

namespace velmora {

class RuntimeFault : public std::runtime_error {
 public:
  explicit RuntimeFault(const std::string& message) : std::runtime_error(message) {}
};

// The error dialog shows the message followed by a period unless it already ends with one.
inline std::string WithPeriod(const std::string& message) {
  if (!message.empty() && message.back() == '.') return message;
  return message + ".";
}

}  // namespace velmora
