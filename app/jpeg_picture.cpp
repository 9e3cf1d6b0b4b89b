#include "app/jpeg_picture.h"

#include <csetjmp>
#include <cstdio>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace {
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf escape;
};

void OnJpegError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->escape, 1);
}
void OnJpegMessage(j_common_ptr) {}

// Decodes to top-down BGRX rows. Only plain C objects live between setjmp and
// longjmp, so the jump skips no destructor.
bool Decode(const unsigned char* data, unsigned long size, std::vector<unsigned char>& bgrx,
            int& width, int& height) {
  jpeg_decompress_struct info;
  ErrorManager errors;
  info.err = jpeg_std_error(&errors.pub);
  errors.pub.error_exit = OnJpegError;
  errors.pub.output_message = OnJpegMessage;
  JSAMPARRAY row = nullptr;
  if (setjmp(errors.escape)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, size);
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_calc_output_dimensions(&info);
  if (info.output_components != 3 || info.output_width > 4096 || info.output_height > 4096) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  width = static_cast<int>(info.output_width);
  height = static_cast<int>(info.output_height);
  bgrx.assign(static_cast<size_t>(width) * height * 4, 0);
  jpeg_start_decompress(&info);
  row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                  info.output_width * 3, 1);
  while (info.output_scanline < info.output_height) {
    const JDIMENSION y = info.output_scanline;
    jpeg_read_scanlines(&info, row, 1);
    unsigned char* out = &bgrx[static_cast<size_t>(y) * width * 4];
    for (int x = 0; x < width; ++x) {
      out[x * 4 + 0] = row[0][x * 3 + 2];
      out[x * 4 + 1] = row[0][x * 3 + 1];
      out[x * 4 + 2] = row[0][x * 3 + 0];
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}
}  // namespace

bool JpegPicture::LoadResource(int resourceId) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!info) return false;
  HGLOBAL loaded = ::LoadResource(module, info);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  const DWORD size = SizeofResource(module, info);
  if (!data || size == 0) return false;

  std::vector<unsigned char> pixels;
  int width = 0, height = 0;
  if (!Decode(static_cast<const unsigned char*>(data), size, pixels, width, height)) return false;

  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
  bmi.bmiHeader.biWidth = width;
  bmi.bmiHeader.biHeight = -height;  // top-down
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap bitmap(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return false;
  memcpy(bits, pixels.data(), pixels.size());
  bitmap_ = std::move(bitmap);
  width_ = width;
  height_ = height;
  return true;
}

void JpegPicture::Draw(HDC dc, int x, int y, const RECT& clip) const {
  if (!bitmap_) return;
  UniqueMemoryDc memory(CreateCompatibleDC(dc));
  if (!memory) return;
  SelectedObject select(memory.Get(), bitmap_.Get());
  SavedDcState saved(dc);
  IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
  BitBlt(dc, x, y, width_, height_, memory.Get(), 0, 0, SRCCOPY);
}
