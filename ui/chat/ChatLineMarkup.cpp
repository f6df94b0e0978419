#include "ChatLineMarkup.h"

#include "skin/UIModuleUtility.h"

namespace pellix {

std::string ChatMarkupLine(COLORREF color, const std::string& content) {
    return "/<c=" + UIModuleUtility::RGBToHex(color) + ">" + content;
}

} // namespace pellix
