#pragma once
// The display markup of a line that the chat component library renders: a colour tag in front of
// the content, "/<c=#RRGGBB>content". Texts are GBK.

#include "skin/ColorRef.h"

#include <string>

namespace pellix {

// The background of the views that show such lines.
constexpr COLORREF CHAT_VIEW_BACKGROUND = 0x00FFF2E5;

std::string ChatMarkupLine(COLORREF color, const std::string& content);

} // namespace pellix
