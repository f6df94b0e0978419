#pragma once
// A bordered text box of a skinned window, one line (Enter goes to the window) or several,
// with an optional limit on its length. Owned by its parent window.

#include <QPlainTextEdit>

class CSkinEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CSkinEdit(QWidget* parent = nullptr);

    void SetMultiLine(bool multiLine);
    // At most maxChars characters can be typed, pasted or inserted; 0 removes the limit.
    void LimitText(int maxChars);
    int GetLimitText() const { return m_nLimit; }
    // Replaces the selection (or inserts at the caret) as if typed. Every change stays undoable
    // here, whatever canUndo says.
    void ReplaceSel(const QString& text, bool canUndo);
    QString GetWindowText() const { return toPlainText(); }
    void SetWindowText(const QString& text) { setPlainText(text); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void OnContentsChange(int position, int removed, int added);
    QString SingleLine(const QString& text) const;

    bool m_bMultiLine = false;
    int m_nLimit = 0;
    bool m_bTrimming = false;
};
