// Self-voicing through the real road: Qt's text-to-speech, speech-dispatcher and its
// generic output module, which a private configuration points at a file instead of a
// sound card. The dispatcher runs in a runtime folder of the test's own.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/test_game.h"
#include "ui/qt_speech.h"
#include "ui_fixture.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDispatcher = "/usr/bin/speech-dispatcher";

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(QtSpeech, TextsReachSpeechDispatcherInOrderWithTheirLanguage) {
  // Qt's engine starts with a voice for the system's locale; in the C locale (as on CI
  // machines) it has none and must get over that. ctest runs each test in a process of
  // its own, so this comes before Qt reads it. The dispatcher gets an installed locale.
  unsetenv("LC_ALL");
  unsetenv("LC_MESSAGES");
  unsetenv("LANG");
  testing::TestApplication();
  if (!fs::exists(kDispatcher)) GTEST_SKIP() << "speech-dispatcher is not installed";
  testing::TempDir dir;
  const fs::path said = dir.path() / "said.txt";
  dir.Write("conf/speechd.conf",
            "AddModule \"record\" \"sd_generic\" \"record.conf\"\nDefaultModule record\nDefaultLanguage \"en\"\n"
            // No sound card: an output method that fails quietly, and the text goes to the file.
            "AudioOutputMethod \"libao\"\n");
  // One line a text: its language, a bar, the text.
  dir.Write("conf/modules/record.conf",
            "GenericExecuteSynth \"echo \\\"$LANGUAGE|$DATA\\\" >> " + said.string() + "\"\n"
            "AddVoice \"en\" \"male1\" \"en\"\nAddVoice \"ru\" \"male1\" \"ru\"\n"
            "GenericLanguage \"en\" \"en\" \"utf-8\"\nGenericLanguage \"ru\" \"ru\" \"utf-8\"\n");
  const std::string socket = (dir.path() / "speechd.sock").string();
  const pid_t dispatcher = fork();
  ASSERT_GE(dispatcher, 0);
  if (dispatcher == 0) {
    setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
    setenv("LC_ALL", "C.UTF-8", 1);
    // Its chatter goes to its own log folder's neighbour, not into the test's output.
    if (!std::freopen((dir.path() / "dispatcher.out").c_str(), "w", stderr)) _exit(126);
    const std::string conf = (dir.path() / "conf").string(), logs = (dir.path() / "logs").string();
    fs::create_directories(logs);
    execl(kDispatcher, kDispatcher, "-s", "-t", "30", "-C", conf.c_str(), "-c", "unix_socket", "-S", socket.c_str(),
          "-L", logs.c_str(), "-P", (dir.path() / "pid").c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  for (int i = 0; i < 100 && !fs::exists(socket); ++i) QTest::qWait(50);
  if (!fs::exists(socket)) {
    std::string logs;
    for (const auto& entry : fs::directory_iterator(dir.path() / "logs")) logs += ReadAll(entry.path());
    kill(dispatcher, SIGTERM);
    waitpid(dispatcher, nullptr, 0);
    FAIL() << "speech-dispatcher did not start:\n" << logs;
  }
  setenv("SPEECHD_ADDRESS", ("unix_socket:" + socket).c_str(), 1);

  {
    QtSpeech speech;
    ASSERT_EQ(speech.Unavailable(), "");
    speech.Speak("Привет", "ru");
    speech.Speak("2 choices", "en");
    const std::string expected = "ru|Привет\nen|2 choices\n";
    for (int i = 0; i < 200 && ReadAll(said) != expected; ++i) QTest::qWait(50);
    EXPECT_EQ(ReadAll(said), expected);
  }
  unsetenv("SPEECHD_ADDRESS");
  kill(dispatcher, SIGTERM);
  waitpid(dispatcher, nullptr, 0);
}

}  // namespace
}  // namespace velmora
