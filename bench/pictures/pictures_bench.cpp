// A page turn to a 4000 by 3000 picture (12 megapixels, made by ImageMagick at the first
// run and kept in the temporary folder), JPEG and PNG: through our decoder at the demo's
// picture box (978 by 337), and as the whole page turn in the main window (LoadPage and
// the picture's repaint). Yardstick in the same run: a full-size decode of the same file
// by libjpeg (to RGB) and by libpng (to RGBA). Targets: JPEG page turn at most half the
// full-size libjpeg decode, PNG page turn no slower than the full-size libpng decode.
// Times are CPU times (the machine may be shared); the ratios are printed after the table.
#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <png.h>

#include <QApplication>
#include <QLabel>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <stdexcept>

#include "base/game.h"
#include "platform/pictures/picture_decoders.h"
#include "base/main_window_state.h"
#include "story/page_loader.h"
#include "support/test_game.h"
#include "ui/main_window.h"

namespace velmora {
namespace {

constexpr PictureBox kDemoBox{978, MainWindowState::kPictureHeight};

// big.jpg and big.png, made once: a plasma cloud has detail everywhere, as a photograph does.
std::string BigPicture(const std::string& extension) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "velmora-bench-pictures";
  std::filesystem::create_directories(dir);
  const std::filesystem::path file = dir / ("big." + extension);
  if (!std::filesystem::exists(file)) {
    const std::string partial = file.string() + ".part";
    const std::string command = "convert -seed 7 -size 4000x3000 plasma: " + extension + ":" + partial;
    if (std::system(command.c_str()) != 0) throw std::runtime_error("cannot run: " + command);
    std::filesystem::rename(partial, file);
  }
  return file.string();
}

// The whole file in one read, as our decoders read it.
std::vector<unsigned char> ReadAll(const std::string& path) {
  std::vector<unsigned char> data(std::filesystem::file_size(path));
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f || std::fread(data.data(), 1, data.size(), f) != data.size()) throw std::runtime_error("cannot read " + path);
  std::fclose(f);
  return data;
}

void DecoderPageTurn(benchmark::State& state, const std::string& extension) {
  const std::string path = BigPicture(extension);
  auto decoder = CreatePictureDecoder();
  for (auto _ : state) benchmark::DoNotOptimize(decoder->Decode(path, extension, kDemoBox));
}

// The whole page turn as the player does it: the page loaded, its picture decoded for the
// box and drawn in the main window.
void WindowPageTurn(benchmark::State& state, const std::string& extension) {
  const std::string path = BigPicture(extension);
  auto decoder = CreatePictureDecoder();
  testing::TestGame t;
  t.platform.pictures = decoder.get();
  t.dir.Write("story.qst", "[big]\r\ntextsize=1\r\nLine0=A page with a big picture.\r\nQuestPicture=big." + extension +
                               "\r\n");
  std::filesystem::create_directories(t.dir.path() / "Images");
  std::filesystem::copy_file(path, t.dir.path() / "Images" / ("big." + extension));
  Game& game = t.Make();
  game.mainWindow->width = 980;
  game.mainWindow->height = 720;
  MainWindow window(game);
  window.show();
  QApplication::processEvents();
  for (auto _ : state) {
    LoadPage(game, "big");
    window.storyPicture->repaint();
  }
  window.hide();
}

void LibjpegFullSize(benchmark::State& state) {
  const std::string path = BigPicture("jpg");
  for (auto _ : state) {
    const std::vector<unsigned char> data = ReadAll(path);
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    std::vector<unsigned char> pixels(size_t{cinfo.output_width} * cinfo.output_height * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
      JSAMPROW row = pixels.data() + size_t{cinfo.output_scanline} * cinfo.output_width * 3;
      jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    benchmark::DoNotOptimize(pixels.data());
  }
}

void LibpngFullSize(benchmark::State& state) {
  const std::string path = BigPicture("png");
  for (auto _ : state) {
    const std::vector<unsigned char> data = ReadAll(path);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    png_image_begin_read_from_memory(&image, data.data(), data.size());
    image.format = PNG_FORMAT_RGBA;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
    png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
    benchmark::DoNotOptimize(pixels.data());
  }
}

BENCHMARK_CAPTURE(DecoderPageTurn, jpeg, std::string("jpg"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WindowPageTurn, jpeg, std::string("jpg"))->Unit(benchmark::kMillisecond);
BENCHMARK(LibjpegFullSize)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecoderPageTurn, png, std::string("png"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WindowPageTurn, png, std::string("png"))->Unit(benchmark::kMillisecond);
BENCHMARK(LibpngFullSize)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's time (the median when repeated) to print the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.run_type == Run::RT_Iteration && !run.error_occurred && !medians_.count(run.run_name.str()))
        times_[run.run_name.str()] = run.GetAdjustedCPUTime();
      if (median) {
        medians_[run.run_name.str()] = true;
        times_[run.run_name.str()] = run.GetAdjustedCPUTime();
      }
    }
  }
  void PrintRatios(std::ostream& out) const {
    const auto ratio = [&](const char* what, const char* ours, const char* yardstick, double target) {
      if (!times_.count(ours) || !times_.count(yardstick)) return;
      const double r = times_.at(ours) / times_.at(yardstick);
      out << what << ": " << times_.at(ours) << " ms / " << times_.at(yardstick) << " ms = " << r
          << " (target <= " << target << (r <= target ? ", met" : ", MISSED") << ")\n";
    };
    ratio("JPEG page turn (decoder) / full-size libjpeg", "DecoderPageTurn/jpeg", "LibjpegFullSize", 0.5);
    ratio("JPEG page turn (window) / full-size libjpeg", "WindowPageTurn/jpeg", "LibjpegFullSize", 0.5);
    ratio("PNG page turn (decoder) / full-size libpng", "DecoderPageTurn/png", "LibpngFullSize", 1.0);
    ratio("PNG page turn (window) / full-size libpng", "WindowPageTurn/png", "LibpngFullSize", 1.0);
  }

 private:
  std::map<std::string, double> times_;
  std::map<std::string, bool> medians_;
};

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  velmora::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios(std::cout);
  benchmark::Shutdown();
  return 0;
}
