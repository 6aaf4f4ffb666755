#include "base/work_meter.h"

#include <string>

#include "base/fault.h"

namespace velmora {

void WorkMeter::Exceeded() {
  throw RuntimeFault("Script stopped: it did more work than one script run may (" +
                     std::to_string(bound_ >> 20) + " MB of log lines, file reads and writes, loads and boxes)");
}

}  // namespace velmora
