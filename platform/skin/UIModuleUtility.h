#pragma once
// Small window and drawing helpers of the skin library.

#include "skin/ColorRef.h"

#include <QRect>
#include <string>

class QPainter;
class QWidget;

namespace UIModuleUtility {

// Text layout flags of DrawTextExA, with their Windows values.
constexpr unsigned int DT_LEFT = 0x0;
constexpr unsigned int DT_CENTER = 0x1;
constexpr unsigned int DT_RIGHT = 0x2;
constexpr unsigned int DT_VCENTER = 0x4;
constexpr unsigned int DT_BOTTOM = 0x8;
constexpr unsigned int DT_WORDBREAK = 0x10;
constexpr unsigned int DT_SINGLELINE = 0x20;
constexpr unsigned int DT_NOPREFIX = 0x800;
constexpr unsigned int DT_END_ELLIPSIS = 0x8000;

// Raises the window above its siblings and gives it the keyboard focus.
void BringWindowToTop(QWidget* window);
// Jiggles the window around its position: dx and dy pixels each way, one move every
// intervalMs milliseconds, cycles rounds of four moves; it ends exactly where it began.
// A shake already running on the window starts over from its original position.
void ShakeWindow(QWidget* window, int dx, int dy, int intervalMs, int cycles);
// "#RRGGBB" in upper case.
std::string RGBToHex(COLORREF color);
// Draws ANSI (GBK) text in rect with the painter's font and pen; '&' marks a mnemonic unless
// DT_NOPREFIX is given. Returns the height of the text drawn.
int DrawTextExA(QPainter& painter, const std::string& text, const QRect& rect, unsigned int format);

} // namespace UIModuleUtility
