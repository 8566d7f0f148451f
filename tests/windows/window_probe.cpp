// Looks at Vantrel's window from another process, as the window test needs it: its client
// size against the dialog units of its font, a control's place on the screen and its text,
// and a picture of the window.
//   window_probe size | rect ID | text ID | entries ID | shot FILE.png
// The window is the top-level one whose caption ends in "Vantrel (Version ...)".
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "png_writer.hpp"

namespace {

HWND found = nullptr;

BOOL CALLBACK match(HWND window, LPARAM) {
  wchar_t caption[512] = {};
  GetWindowTextW(window, caption, 512);
  if (std::wstring(caption).find(L"Vantrel (Version ") != std::wstring::npos &&
      IsWindowVisible(window)) {
    found = window;
    return FALSE;
  }
  return TRUE;
}

// Dialog base units of the template's font, "MS Sans Serif" 8 pt, made here as the dialog
// manager makes it (another process's font cannot be used): the average width of the 52
// letters, rounded, and the font's height.
SIZE base_units(HWND window) {
  const HDC dc = GetDC(window);
  const HFONT font =
      CreateFontW(-MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                  FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                  DEFAULT_PITCH, L"MS Sans Serif");
  const HGDIOBJ old = SelectObject(dc, font);
  SIZE letters{};
  const wchar_t* alphabet = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  GetTextExtentPoint32W(dc, alphabet, 52, &letters);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(window, dc);
  return {(letters.cx / 26 + 1) / 2, metrics.tmHeight};
}

int shot(HWND window, const char* file) {
  RECT r{};
  GetClientRect(window, &r);
  const int width = r.right;
  const int height = r.bottom;
  const HDC screen = GetDC(window);
  const HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  std::vector<unsigned char> rgb;
  rgb.reserve(static_cast<std::size_t>(width) * height * 3);
  const auto* pixels = static_cast<const unsigned char*>(bits);
  for (int i = 0; i < width * height; ++i) {
    rgb.push_back(pixels[4 * i + 2]);
    rgb.push_back(pixels[4 * i + 1]);
    rgb.push_back(pixels[4 * i]);
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, screen);
  return write_png(file, width, height, rgb) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr,
                 "usage: window_probe size | rect ID | text ID | entries ID | shot FILE.png\n");
    return 2;
  }
  EnumWindows(match, 0);
  if (found == nullptr) {
    std::fprintf(stderr, "window_probe: no Vantrel window\n");
    return 1;
  }
  const std::string command = argv[1];
  if (command == "size") {
    RECT client{};
    GetClientRect(found, &client);
    const SIZE units = base_units(found);
    // 516 x 353 dialog units, as the template gives them.
    std::printf("client %ldx%ld expected %dx%d units %ldx%ld\n", client.right, client.bottom,
                MulDiv(516, units.cx, 4), MulDiv(353, units.cy, 8), units.cx, units.cy);
    return 0;
  }
  if (command == "shot" && argc == 3) return shot(found, argv[2]);
  if (argc != 3) return 2;
  const HWND control = GetDlgItem(found, std::atoi(argv[2]) & 0xFFFF);
  if (control == nullptr) {
    std::fprintf(stderr, "window_probe: no control %s\n", argv[2]);
    return 1;
  }
  if (command == "rect") {
    RECT r{};
    GetWindowRect(control, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
  }
  if (command == "entries") {
    std::printf("%ld\n", static_cast<long>(SendMessageW(control, CB_GETCOUNT, 0, 0)));
    return 0;
  }
  if (command == "text") {
    char text[256] = {};
    SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    std::printf("%s\n", text);
    return 0;
  }
  return 2;
}
