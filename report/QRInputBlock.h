// While a report is laid out or printed, the user's input reaches only the progress window:
// clicks, keys, wheel turns and close requests for every other window are swallowed, so no
// handler can change the data under the layout or start a second report.
#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

class TQRInputBlock : public QObject {
    Q_OBJECT

public:
    // Blocks input from construction to destruction; `allowed` (may be null) and its children
    // still take input.
    explicit TQRInputBlock(QWidget* allowed = nullptr);
    ~TQRInputBlock() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_allowed;
};
