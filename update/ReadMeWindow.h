// The "Read Me" window: the fetched read-me text in a scrolling memo and an "&Ok" button,
// four fifths of the screen in each direction, centred.
#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

class TReadMeWindow : public QDialog {
    Q_OBJECT

public:
    TReadMeWindow(const QString& text, const QFont& font, QWidget* parent = nullptr);

    QPlainTextEdit* Memo;
    QPushButton* OkButton;
};
