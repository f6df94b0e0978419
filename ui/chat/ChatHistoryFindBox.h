#pragma once
// The history viewer's find box, in the viewer's top band: a line for the text and a short note
// when nothing holds it. Enter asks for the next older message holding the text, Esc closes the
// box. Owned by the viewer.

#include <QWidget>

class QLabel;
class QLineEdit;

namespace pellix {

class CChatHistoryFindBox : public QWidget {
    Q_OBJECT
public:
    explicit CChatHistoryFindBox(QWidget* parent);

    // Shows the box with the focus in it and its text selected.
    void Open();
    QString Text() const;
    QLineEdit* Edit() const { return m_pEdit; }
    // Says that nothing holds the text, until the text changes.
    void ShowNoMatch();
    bool ShowsNoMatch() const;

Q_SIGNALS:
    void findRequested(const QString& text);
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_pNote;
    QLineEdit* m_pEdit;
};

} // namespace pellix
