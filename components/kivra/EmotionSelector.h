#pragma once
// The emoticon picker object: owns the popup and reports picks to its sink with the emoticon's
// index and code in GBK.

#include "kivra/IEmotionSelector.h"

#include <memory>

class CEmotionPicker;

class CEmotionSelector final : public IEmotionSelector {
public:
    CEmotionSelector();
    ~CEmotionSelector();
    CEmotionSelector(const CEmotionSelector&) = delete;
    CEmotionSelector& operator=(const CEmotionSelector&) = delete;

    void Destroy() override;
    void SetSink(IEmotionSink* sink) override;
    void Show(QWidget* parent, int screenX, int screenY) override;

    CEmotionPicker& Picker() { return *m_pPicker; }

private:
    void OnPicked(int index);

    IEmotionSink* m_pSink = nullptr;
    std::unique_ptr<CEmotionPicker> m_pPicker;
};
