#include "ProfilePage.h"

#include "client/BrowserDialog.h"
#include "client/UrlFactory.h"
#include "protocol/FriendRequests.h"

void ShowUserProfile(QWidget* owner, const IFriendRequests& service, int userID) {
    const std::string url = CUrlFactory::getSingletonPtr()->MakeDetailUserInfoUrl(userID);
    CBrowserDialog::Show(owner, QString::fromStdString(url), service.GetProxy());
}
