// PNG through libpng, a row at a time: each row is turned into the core's pixels by
// libpng's own transformations and, when the picture is shown smaller, averaged into the
// reduced picture at once, so the full-size picture never sits in memory. libpng reports
// errors by longjmp to the one place that set the jump point, as for JPEG.
#include <png.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>

#include "platform/pictures/decoder_common.h"
#include "platform/pictures/decoders.h"

namespace velmora::decoders {

namespace {

// Averages blocks of factor by factor source pixels into one pixel of the output picture,
// fed one source row at a time. Colour is weighted by alpha, so transparent pixels lend
// no colour to the edge of an opaque neighbour.
class RowReducer {
 public:
  RowReducer(Picture& out, int sourceWidth, int factor, bool opaque)
      : out_(out), sourceWidth_(sourceWidth), factor_(factor), opaque_(opaque),
        sums_(static_cast<size_t>(out.width) * 4) {}

  // Blocks of at most this many pixels a side keep every sum within 32 bits.
  static constexpr int kMaxFactor = 256;

  void Add(const uint32_t* row) {
    if (opaque_) {
      AddRow<true>(row);
    } else {
      AddRow<false>(row);
    }
    if (++rows_ == factor_) Flush();
  }

  // The last band of rows, when the height is no multiple of the factor.
  void Finish() {
    if (rows_ > 0) Flush();
  }

 private:
  template <bool kOpaque>
  void AddRow(const uint32_t* row) {
    uint32_t* sum = sums_.data();
    for (int x = 0; x < sourceWidth_; x += factor_, sum += 4) {
      const int end = std::min(x + factor_, sourceWidth_);
      for (int i = x; i < end; ++i) {
        const uint32_t p = row[i];
        const uint32_t a = kOpaque ? 1 : p >> 24;
        sum[0] += ((p >> 16) & 0xFF) * a;
        sum[1] += ((p >> 8) & 0xFF) * a;
        sum[2] += (p & 0xFF) * a;
        sum[3] += p >> 24;
      }
    }
  }

  void Flush() {
    uint32_t* out = out_.pixels.data() + static_cast<size_t>(outRow_) * out_.width;
    for (int column = 0; column < out_.width; ++column) {
      uint32_t* sum = &sums_[static_cast<size_t>(column) * 4];
      const int columns = std::min(factor_, sourceWidth_ - column * factor_);
      const uint32_t count = static_cast<uint32_t>(columns) * static_cast<uint32_t>(rows_);
      const uint32_t weight = opaque_ ? count : sum[3];
      const auto average = [weight](uint32_t v) { return weight ? static_cast<uint8_t>((v + weight / 2) / weight) : 0; };
      out[column] = Argb(average(sum[0]), average(sum[1]), average(sum[2]),
                         static_cast<uint8_t>((sum[3] + count / 2) / count));
      std::fill(sum, sum + 4, 0);
    }
    rows_ = 0;
    ++outRow_;
  }

  Picture& out_;
  const int sourceWidth_;
  const int factor_;
  const bool opaque_;
  std::vector<uint32_t> sums_;  // per output column: red, green, blue (alpha-weighted), alpha
  int rows_ = 0;
  int outRow_ = 0;
};

struct PngJob {
  png_structp png = nullptr;
  png_infop info = nullptr;
  const std::vector<uint8_t>* data = nullptr;
  size_t offset = 0;
  PictureBox box;
  Size target;
  bool opaque = true;
  std::shared_ptr<Picture> picture;
  // What the rows pass through; here rather than on Decompress's stack, which a libpng
  // error leaves by longjmp without running destructors.
  std::vector<uint32_t> row;
  std::shared_ptr<Picture> whole;
  std::optional<RowReducer> reducer;
  std::string message;
  bool tooLarge = false;
  uint32_t width = 0, height = 0;
};

void OnError(png_structp png, png_const_charp message) {
  static_cast<PngJob*>(png_get_error_ptr(png))->message = message;
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void ReadFromMemory(png_structp png, png_bytep out, size_t length) {
  auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
  if (job->data->size() - job->offset < length) png_error(png, "the file ends early");
  std::memcpy(out, job->data->data() + job->offset, length);
  job->offset += length;
}

// Whatever the file holds comes out as 8-bit 0xAARRGGBB pixels in sRGB.
void AskForPixels(PngJob& job) {
  png_structp png = job.png;
  png_infop info = job.info;
  const int colorType = png_get_color_type(png, info);
  job.opaque = !(colorType & PNG_COLOR_MASK_ALPHA) && !png_get_valid(png, info, PNG_INFO_tRNS);
  png_set_alpha_mode(png, PNG_ALPHA_PNG, PNG_DEFAULT_sRGB);
  png_set_expand(png);  // palette to colour, small grey depths to 8 bits, transparency to alpha
  if (png_get_bit_depth(png, info) == 16) png_set_scale_16(png);
  png_set_gray_to_rgb(png);
  static_assert(std::endian::native == std::endian::little, "pixels are written as bytes B, G, R, A");
  png_set_bgr(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
}

// Every libpng call happens below the jump point; false when libpng raised an error.
bool Decompress(PngJob& job) {
  if (setjmp(png_jmpbuf(job.png))) return false;
  png_set_read_fn(job.png, &job, ReadFromMemory);
  png_read_info(job.png, job.info);
  job.width = png_get_image_width(job.png, job.info);
  job.height = png_get_image_height(job.png, job.info);
  const int64_t width = job.width, height = job.height;
  if (width == 0 || height == 0 || width * height > kMaxPixels) {
    job.tooLarge = true;
    return false;
  }
  AskForPixels(job);
  const int passes = png_set_interlace_handling(job.png);
  png_read_update_info(job.png, job.info);

  const int w = static_cast<int>(width), h = static_cast<int>(height);
  job.target = ShownSize(w, h, job.box);
  const int factor = CoveringReduction(w, h, job.target, RowReducer::kMaxFactor, /*powerOfTwo=*/false);
  job.picture = NewPicture((w + factor - 1) / factor, (h + factor - 1) / factor);
  const auto rowOf = [](Picture& p, int y) {
    return reinterpret_cast<png_bytep>(p.pixels.data() + static_cast<size_t>(y) * p.width);
  };
  if (factor == 1) {
    for (int pass = 0; pass < passes; ++pass)
      for (int y = 0; y < h; ++y) png_read_row(job.png, rowOf(*job.picture, y), nullptr);
  } else if (passes == 1) {
    job.reducer.emplace(*job.picture, w, factor, job.opaque);
    job.row.resize(static_cast<size_t>(w));
    for (int y = 0; y < h; ++y) {
      png_read_row(job.png, reinterpret_cast<png_bytep>(job.row.data()), nullptr);
      job.reducer->Add(job.row.data());
    }
    job.reducer->Finish();
  } else {
    // An interlaced picture is complete only after its last pass: whole, then reduced.
    job.whole = NewPicture(w, h);
    for (int pass = 0; pass < passes; ++pass)
      for (int y = 0; y < h; ++y) png_read_row(job.png, rowOf(*job.whole, y), nullptr);
    job.reducer.emplace(*job.picture, w, factor, job.opaque);
    for (int y = 0; y < h; ++y) job.reducer->Add(job.whole->pixels.data() + static_cast<size_t>(y) * w);
    job.reducer->Finish();
  }
  png_read_end(job.png, nullptr);
  return true;
}

}  // namespace

std::shared_ptr<const Picture> DecodePng(const std::string& path, const PictureBox& box) {
  const std::vector<uint8_t> data = ReadWholeFile(path);
  PngJob job;
  job.data = &data;
  job.box = box;
  job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, OnError, OnWarning);
  if (job.png) job.info = png_create_info_struct(job.png);
  if (!job.png || !job.info) {
    png_destroy_read_struct(&job.png, nullptr, nullptr);
    ThrowDamaged(path, "PNG", "out of memory");
  }
  const bool ok = Decompress(job);
  png_destroy_read_struct(&job.png, &job.info, nullptr);
  if (job.tooLarge) CheckSize(path, "PNG", job.width, job.height);
  if (!ok) ThrowDamaged(path, "PNG", job.message);
  return ScaledTo(std::move(job.picture), job.target, job.opaque);
}

}  // namespace velmora::decoders
