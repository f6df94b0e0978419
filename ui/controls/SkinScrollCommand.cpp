#include "SkinScrollCommand.h"

#include <QAbstractSlider>
#include <algorithm>
#include <cstdint>
#include <limits>

namespace pellix {

namespace SkinScroll {

ScrollInfo InfoFromSlider(const QAbstractSlider& slider) {
    ScrollInfo info;
    info.min = slider.minimum();
    info.page = slider.pageStep();
    // While the thumb is dragged the slider's position runs ahead of its value; the thumb is
    // painted where the user holds it.
    info.pos = slider.sliderPosition();
    if (slider.maximum() <= slider.minimum()) {
        info.max = info.min;
        return info;
    }
    const int64_t max = static_cast<int64_t>(slider.maximum()) + std::max(info.page - 1, 0);
    info.max = static_cast<int>(std::min<int64_t>(max, std::numeric_limits<int>::max()));
    return info;
}

void ApplyScrollCode(QAbstractSlider& slider, int code, int position) {
    switch (code) {
    case kLineUp:
        slider.triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
    case kLineDown:
        slider.triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
    case kPageUp:
        slider.triggerAction(QAbstractSlider::SliderPageStepSub);
        break;
    case kPageDown:
        slider.triggerAction(QAbstractSlider::SliderPageStepAdd);
        break;
    case kThumbPosition:
        slider.setSliderPosition(position);
        slider.setValue(slider.sliderPosition());
        break;
    case kThumbTrack:
        if (!slider.isSliderDown())
            slider.setSliderDown(true);
        slider.setSliderPosition(position);
        break;
    case kTop:
        slider.triggerAction(QAbstractSlider::SliderToMinimum);
        break;
    case kBottom:
        slider.triggerAction(QAbstractSlider::SliderToMaximum);
        break;
    case kEndScroll:
        // Letting go of a tracked thumb commits the value where it was left.
        if (slider.isSliderDown())
            slider.setSliderDown(false);
        break;
    default:
        break;
    }
}

} // namespace SkinScroll

} // namespace pellix
