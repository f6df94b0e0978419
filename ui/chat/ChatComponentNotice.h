#pragma once
// Tells the user that a chat component could not be had. The reason is the same for every chat
// window of the process (the library, its factory or its object), so it is told once: the windows
// opened after the first would only repeat it.

#include <string>

class QWidget;

namespace pellix {

// Shows the loader's error text (GBK) in a notice captioned "好友服务" over owner, without waiting
// for it, unless a failure has been shown already in this process. True when it was shown now.
bool ShowChatComponentFailure(QWidget* owner, const std::string& errorText);
// Forgets that a failure was shown, so the next one is shown again (a test starting afresh).
void ForgetChatComponentFailure();

} // namespace pellix
