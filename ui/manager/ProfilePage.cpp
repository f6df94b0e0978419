#include "ProfilePage.h"

#include "WindowEnvironment.h"
#include "client/BrowserDialog.h"
#include "client/UrlFactory.h"

void ShowUserProfile(QWidget* owner, const IWindowEnvironment& environment, int userID) {
    const std::string url = CUrlFactory::getSingletonPtr()->MakeDetailUserInfoUrl(userID);
    CBrowserDialog::Show(owner, QString::fromStdString(url), environment.GetProxy());
}
