#pragma once
// Speech that only writes down what it is asked, for tests and for front ends without a
// speech service of their own.
#include <ostream>
#include <string>
#include <vector>

#include "base/platform.h"

namespace velmora {

class RecordingSpeech final : public Speech {
 public:
  struct Utterance {
    std::string text;
    std::string language;
    bool operator==(const Utterance&) const = default;
    // For test failures: the text and its language.
    friend std::ostream& operator<<(std::ostream& out, const Utterance& u) {
      return out << '"' << u.text << "\" (" << u.language << ')';
    }
  };

  std::string Unavailable() override { return unavailable; }
  void Speak(const std::string& text, const std::string& language) override { said.push_back({text, language}); }
  void Stop() override { ++stops; }
  void SetRate(double value) override { rate = value; }
  void SetVolume(double value) override { volume = value; }

  std::string unavailable;  // what Unavailable answers
  std::vector<Utterance> said;
  int stops = 0;
  double rate = 0, volume = 1;
};

}  // namespace velmora
