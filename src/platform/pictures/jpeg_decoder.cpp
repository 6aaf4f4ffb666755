// JPEG through libjpeg's own interface. libjpeg reports errors by calling a function that
// must not return; ours longjmps back to the one place that set the jump point, which
// then returns normally so that C++ destructors still run on our side.
#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "platform/pictures/decoder_common.h"
#include "platform/pictures/decoders.h"

namespace velmora::decoders {

namespace {

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

// Warnings (a short last segment, say) leave a usable picture; they are not printed.
void OnMessage(j_common_ptr, int) {}

struct JpegJob {
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  const std::vector<uint8_t>* data = nullptr;
  PictureBox box;
  Size target;
  std::shared_ptr<Picture> picture;
  bool tooLarge = false;
};

// libjpeg writes these bytes per pixel; in memory they read as 0xAARRGGBB with alpha 255.
constexpr J_COLOR_SPACE kPixelOrder = std::endian::native == std::endian::little ? JCS_EXT_BGRA : JCS_EXT_ARGB;

// Adobe writes CMYK inverted (0 is full ink); others write it plainly.
uint32_t FromCmyk(const uint8_t* px, bool inverted) {
  auto ink = [inverted](uint8_t v) { return inverted ? v : static_cast<uint8_t>(255 - v); };
  const unsigned k = ink(px[3]);
  return Argb(static_cast<uint8_t>(ink(px[0]) * k / 255), static_cast<uint8_t>(ink(px[1]) * k / 255),
              static_cast<uint8_t>(ink(px[2]) * k / 255));
}

// CMYK has no direct conversion in libjpeg: a row at a time through a buffer.
void ReadCmykRows(JpegJob& job) {
  jpeg_decompress_struct& cinfo = job.cinfo;
  std::vector<uint8_t> row(static_cast<size_t>(cinfo.output_width) * 4);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW rows[1] = {row.data()};
    const JDIMENSION y = cinfo.output_scanline;
    if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) break;
    uint32_t* out = job.picture->pixels.data() + static_cast<size_t>(y) * cinfo.output_width;
    for (JDIMENSION x = 0; x < cinfo.output_width; ++x) out[x] = FromCmyk(&row[size_t{x} * 4], cinfo.saw_Adobe_marker);
  }
}

// Every libjpeg call happens below the jump point; false when libjpeg raised an error.
// libjpeg shrinks by a power of two while it decodes, as far as the picture still covers
// its shown size, and writes straight into the picture's rows.
bool Decompress(JpegJob& job) {
  jpeg_decompress_struct& cinfo = job.cinfo;
  if (setjmp(job.err.jump)) return false;
  jpeg_mem_src(&cinfo, job.data->data(), static_cast<unsigned long>(job.data->size()));
  jpeg_read_header(&cinfo, TRUE);
  const int64_t width = cinfo.image_width, height = cinfo.image_height;
  if (width == 0 || height == 0 || width * height > kMaxPixels) {
    job.tooLarge = true;
    return false;
  }
  job.target = ShownSize(static_cast<int>(width), static_cast<int>(height), job.box);
  cinfo.scale_num = 1;
  cinfo.scale_denom = static_cast<unsigned>(
      CoveringReduction(static_cast<int>(width), static_cast<int>(height), job.target, 8, /*powerOfTwo=*/true));
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : kPixelOrder;
  jpeg_start_decompress(&cinfo);
  job.picture = NewPicture(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height));
  if (cmyk) {
    ReadCmykRows(job);
  } else {
    JSAMPROW rows[16];
    const JDIMENSION band = std::min<JDIMENSION>(cinfo.rec_outbuf_height, 16);
    while (cinfo.output_scanline < cinfo.output_height) {
      const JDIMENSION y = cinfo.output_scanline;
      for (JDIMENSION i = 0; i < band; ++i)
        rows[i] = reinterpret_cast<JSAMPROW>(job.picture->pixels.data() +
                                             size_t{std::min(y + i, cinfo.output_height - 1)} * cinfo.output_width);
      if (jpeg_read_scanlines(&cinfo, rows, band) == 0) break;
    }
  }
  // Rows libjpeg did not give (it pads a cut file itself, so none should be left) stay black.
  std::fill(job.picture->pixels.begin() + static_cast<ptrdiff_t>(size_t{cinfo.output_scanline} * cinfo.output_width),
            job.picture->pixels.end(), 0xFF000000u);
  jpeg_finish_decompress(&cinfo);
  return true;
}

}  // namespace

std::shared_ptr<const Picture> DecodeJpeg(const std::string& path, const PictureBox& box) {
  const std::vector<uint8_t> data = ReadWholeFile(path);
  auto job = std::make_unique<JpegJob>();
  job->data = &data;
  job->box = box;
  job->cinfo.err = jpeg_std_error(&job->err.pub);
  job->err.pub.error_exit = OnError;
  job->err.pub.emit_message = OnMessage;
  job->err.message[0] = '\0';
  jpeg_create_decompress(&job->cinfo);
  const bool ok = Decompress(*job);
  jpeg_destroy_decompress(&job->cinfo);
  if (job->tooLarge) CheckSize(path, "JPEG", job->cinfo.image_width, job->cinfo.image_height);
  if (!ok) ThrowDamaged(path, "JPEG", job->err.message);
  return ScaledTo(std::move(job->picture), job->target, /*opaque=*/true);
}

}  // namespace velmora::decoders
