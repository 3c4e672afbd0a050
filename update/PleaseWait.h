// The "Please Wait" window: one centred line of text and no way out for the user; the update
// component ends it when the transfer it watches is over.
#pragma once

#include "platform/NoCloseDialog.h"

class QLabel;

class TPleaseWait : public TNoCloseDialog {
    Q_OBJECT

public:
    TPleaseWait(const QString& text, const QFont& font, QWidget* parent = nullptr);
    QLabel* Label() const { return m_label; }

private:
    QLabel* m_label;
};
