#include "EmotionSelector.h"

#include "EmotionPicker.h"
#include "EmotionTable.h"
#include "text/StringUtility.h"

#include <string>

CEmotionSelector::CEmotionSelector()
    : m_pPicker(std::make_unique<CEmotionPicker>([this](int index) { OnPicked(index); })) {}

CEmotionSelector::~CEmotionSelector() = default;

void CEmotionSelector::Destroy() {
    delete this;
}

void CEmotionSelector::SetSink(IEmotionSink* sink) {
    m_pSink = sink;
}

void CEmotionSelector::Show(QWidget* parent, int screenX, int screenY) {
    m_pPicker->PopUp(parent, QPoint(screenX, screenY));
}

void CEmotionSelector::OnPicked(int index) {
    if (m_pSink == nullptr)
        return;
    const std::string code = StringUtility::QStringToAnsi(EmotionTable::Code(index));
    m_pSink->OnEmotionSelected(index, code.c_str());
}
