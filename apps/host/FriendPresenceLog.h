#pragma once
// Tells on the host's output whenever the friend list shows a friend going online or offline:
// "LABEL: sees NAME online". A person at the windowed demo reads it in the logs; the demo waits
// for these words before it says what to try.

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

class QAbstractItemView;
class QTextStream;

class FriendPresenceLog final : public QObject {
    Q_OBJECT
public:
    // Watches the view's model while both live; out must outlive this object.
    FriendPresenceLog(QAbstractItemView& view, QString label, QTextStream& out);

private:
    void Scan();

    QPointer<QAbstractItemView> m_pView;
    QString m_Label;
    QTextStream& m_Out;
    // Each listed friend's display name and whether it was last seen online.
    QHash<QString, bool> m_Online;
};
