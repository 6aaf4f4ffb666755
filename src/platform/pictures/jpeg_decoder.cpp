// JPEG through libjpeg's own interface. libjpeg reports errors by calling a function that
// must not return; ours longjmps back to the one place that set the jump point, which
// then returns normally so that C++ destructors still run on our side.
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
  std::shared_ptr<Picture> picture;
  std::vector<uint8_t> row;
  bool tooLarge = false;
};

// Adobe writes CMYK inverted (0 is full ink); others write it plainly.
uint32_t FromCmyk(const uint8_t* px, bool inverted) {
  auto ink = [inverted](uint8_t v) { return inverted ? v : static_cast<uint8_t>(255 - v); };
  const unsigned k = ink(px[3]);
  return Argb(static_cast<uint8_t>(ink(px[0]) * k / 255), static_cast<uint8_t>(ink(px[1]) * k / 255),
              static_cast<uint8_t>(ink(px[2]) * k / 255));
}

// Every libjpeg call happens below the jump point; false when libjpeg raised an error.
bool Decompress(JpegJob& job) {
  jpeg_decompress_struct& cinfo = job.cinfo;
  if (setjmp(job.err.jump)) return false;
  jpeg_mem_src(&cinfo, job.data->data(), static_cast<unsigned long>(job.data->size()));
  jpeg_read_header(&cinfo, TRUE);
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_calc_output_dimensions(&cinfo);
  const int64_t pixels = int64_t{cinfo.output_width} * cinfo.output_height;
  if (cinfo.output_width == 0 || cinfo.output_height == 0 || pixels > kMaxPixels) {
    job.tooLarge = true;
    return false;
  }
  jpeg_start_decompress(&cinfo);
  job.picture = NewPicture(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height));
  const int components = cinfo.output_components;
  job.row.resize(static_cast<size_t>(cinfo.output_width) * static_cast<size_t>(components));
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW rows[1] = {job.row.data()};
    const JDIMENSION y = cinfo.output_scanline;
    if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) break;
    uint32_t* out = job.picture->pixels.data() + static_cast<size_t>(y) * cinfo.output_width;
    for (JDIMENSION x = 0; x < cinfo.output_width; ++x) {
      const uint8_t* px = job.row.data() + static_cast<size_t>(x) * static_cast<size_t>(components);
      out[x] = cmyk ? FromCmyk(px, cinfo.saw_Adobe_marker) : Argb(px[0], px[1], px[2]);
    }
  }
  jpeg_finish_decompress(&cinfo);
  return true;
}

}  // namespace

std::shared_ptr<const Picture> DecodeJpeg(const std::string& path) {
  const std::vector<uint8_t> data = ReadWholeFile(path);
  auto job = std::make_unique<JpegJob>();
  job->data = &data;
  job->cinfo.err = jpeg_std_error(&job->err.pub);
  job->err.pub.error_exit = OnError;
  job->err.pub.emit_message = OnMessage;
  job->err.message[0] = '\0';
  jpeg_create_decompress(&job->cinfo);
  const bool ok = Decompress(*job);
  jpeg_destroy_decompress(&job->cinfo);
  if (job->tooLarge)
    CheckSize(path, "JPEG", job->cinfo.output_width, job->cinfo.output_height);
  if (!ok) ThrowDamaged(path, "JPEG", job->err.message);
  return job->picture;
}

}  // namespace velmora::decoders
