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

    // Moves the window to the top left of its --tile column, if it was given one.
    void MoveToTile();
    // Hands the user to the module and starts the friend service; false when it did not start.
    bool SignOn();
    // Opens the module's friend list beside this window (in its --tile column when given); the
    // list window, or null when the module showed none.
    QWidget* ShowFriendListBeside();
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
    // Where this window and the friend list may go.
    QRect FreeArea() const;

    HostOptions m_options;
    IFriendClient* m_pClient;
    AvatarHost m_avatars;
    QLineEdit* m_pAddFriendID = nullptr;
    QLineEdit* m_pAddFriendName = nullptr;
    QLineEdit* m_pBlacklistID = nullptr;
    QLabel* m_pStatus = nullptr;
};
