// libjpeg reports a fatal error by calling error_exit, which must not return;
// its default ends the process. Here it jumps back into the one function that
// called the library (RunDecoder, RunEncoder). Those functions hold no object
// with a destructor, so the jump skips nothing; what they fill lives in their
// callers.
#include "render/jpeg_codec.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace {

// Real progressive files have about ten scans; thousands of tiny ones only
// make decoding slow.
constexpr int kMaxScans = 1000;
// A Huffman-coded file spends at least one bit on the DC value of every 8 x 8
// block, so it cannot describe more than 512 pixels per byte; a header
// claiming more is a damaged (or hostile) file and is refused before the
// library allocates its buffers.
constexpr uint64_t kMaxPixelsPerByte = 512;

struct TJpegErrors {
  jpeg_error_mgr pub;
  jpeg_progress_mgr progress;
  std::jmp_buf escape;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void Escape(j_common_ptr cinfo) {
  auto* errors = reinterpret_cast<TJpegErrors*>(cinfo->err);
  std::longjmp(errors->escape, 1);
}

[[noreturn]] void OnError(j_common_ptr cinfo) {
  auto* errors = reinterpret_cast<TJpegErrors*>(cinfo->err);
  cinfo->err->format_message(cinfo, errors->message);
  Escape(cinfo);
}

// Warnings are dropped, except a file that ends early: the library would
// fill the missing part with grey and report success.
void OnMessage(j_common_ptr cinfo, int level) {
  if (level == -1 && cinfo->err->msg_code == JWRN_JPEG_EOF) OnError(cinfo);
}

void OnProgress(j_common_ptr cinfo) {
  if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
    auto* errors = reinterpret_cast<TJpegErrors*>(cinfo->err);
    std::snprintf(errors->message, sizeof errors->message, "more than %d scans", kMaxScans);
    Escape(cinfo);
  }
}

void InitErrors(TJpegErrors& errors) {
  jpeg_std_error(&errors.pub);
  errors.pub.error_exit = OnError;
  errors.pub.emit_message = OnMessage;
  errors.pub.output_message = [](j_common_ptr) {};
  errors.progress = {};
  errors.progress.progress_monitor = OnProgress;
  errors.message[0] = '\0';
}

bool RunDecoder(jpeg_decompress_struct& cinfo, TJpegErrors& errors, const uint8_t* data, size_t size,
                std::vector<uint8_t>& pixels) {
  if (setjmp(errors.escape)) return false;
  jpeg_create_decompress(&cinfo);
  cinfo.progress = &errors.progress;
  jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  const uint64_t width = cinfo.image_width, height = cinfo.image_height;
  if (width > kMaxImageSide || height > kMaxImageSide || width * height > kMaxPixelsPerByte * size) {
    std::snprintf(errors.message, sizeof errors.message, "size %llu x %llu is more than the file can hold",
                  static_cast<unsigned long long>(width), static_cast<unsigned long long>(height));
    return false;
  }
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  if (cinfo.output_components != 3) {
    std::snprintf(errors.message, sizeof errors.message, "%d output components", cinfo.output_components);
    return false;
  }
  const size_t rowBytes = static_cast<size_t>(cinfo.output_width) * 3;
  pixels.assign(rowBytes * cinfo.output_height, 0);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = &pixels[cinfo.output_scanline * rowBytes];
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  return true;
}

bool RunEncoder(jpeg_compress_struct& cinfo, TJpegErrors& errors, const TPixelImage& image, int quality,
                unsigned char*& buffer, unsigned long& bufferSize) {
  if (setjmp(errors.escape)) return false;
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, &buffer, &bufferSize);
  cinfo.image_width = static_cast<JDIMENSION>(image.Width);
  cinfo.image_height = static_cast<JDIMENSION>(image.Height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  const size_t rowBytes = image.RowBytes();
  while (cinfo.next_scanline < cinfo.image_height) {
    // The library only reads the rows it is given.
    JSAMPROW row = const_cast<uint8_t*>(&image.Pixels[cinfo.next_scanline * rowBytes]);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  return true;
}

}  // namespace

bool DecodeJPEG(const uint8_t* data, size_t size, TPixelImage& image, std::string& why) {
  jpeg_decompress_struct cinfo{};
  TJpegErrors errors;
  InitErrors(errors);
  cinfo.err = &errors.pub;
  std::vector<uint8_t> pixels;
  bool ok = false;
  try {
    ok = RunDecoder(cinfo, errors, data, size, pixels);
  } catch (const std::bad_alloc&) {
    // The library's state must still be released below.
    std::snprintf(errors.message, sizeof errors.message, "out of memory");
  }
  if (ok) {
    image.Width = static_cast<int>(cinfo.output_width);
    image.Height = static_cast<int>(cinfo.output_height);
    image.Channels = 3;
    image.Pixels = std::move(pixels);
  } else {
    why = errors.message;
  }
  jpeg_destroy_decompress(&cinfo);
  return ok;
}

bool EncodeJPEG(const TPixelImage& image, int quality, std::string& output, std::string& why) {
  if (image.Channels != 3 || image.Width <= 0 || image.Height <= 0) {
    why = "needs a three-channel image";
    return false;
  }
  jpeg_compress_struct cinfo{};
  TJpegErrors errors;
  InitErrors(errors);
  cinfo.err = &errors.pub;
  unsigned char* buffer = nullptr;
  unsigned long bufferSize = 0;
  bool ok = RunEncoder(cinfo, errors, image, quality, buffer, bufferSize);
  if (ok)
    output.assign(reinterpret_cast<const char*>(buffer), bufferSize);
  else
    why = errors.message;
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return ok;
}
