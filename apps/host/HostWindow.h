#pragma once
// The demo game client's main window: shows the signed-in user and offers the host's friend
// operations. It drives the module only through IFriendClient.

#include "AvatarHost.h"
#include "HostOptions.h"

#include <QMainWindow>

class IFriendClient;
class QLineEdit;
class QLabel;

class HostWindow final : public QMainWindow {
    Q_OBJECT
public:
    HostWindow(const HostOptions& options, IFriendClient* client, QWidget* parent = nullptr);

    // Hands the user to the module and starts the friend service; false when it did not start.
    bool SignOn();
    AvatarHost& Avatars() { return m_avatars; }

protected:
    // The game client ends with its main window, whatever friend windows are still open.
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* BuildUserHeader();
    QWidget* BuildFriendActions();
    void AddFriendFromInput();
    void BlacklistFromInput();
    void ShowStatus(const QString& text);

    HostOptions m_options;
    IFriendClient* m_pClient;
    AvatarHost m_avatars;
    QLineEdit* m_pAddFriendID = nullptr;
    QLineEdit* m_pAddFriendName = nullptr;
    QLineEdit* m_pBlacklistID = nullptr;
    QLabel* m_pStatus = nullptr;
};
