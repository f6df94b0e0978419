#pragma once
// The look both add-friend windows share: colour, title, the friend icon and a top border only.

#include <QString>

class CRgnDialog;

void ApplyAddFriendSkin(CRgnDialog& window, const QString& title);
