#pragma once
// A user's profile page in the client library's browser window, through the friend service's
// proxy. One window per owner: a second page replaces the first, and the window goes with its
// owner.

class IWindowEnvironment;
class QWidget;

void ShowUserProfile(QWidget* owner, const IWindowEnvironment& environment, int userID);
