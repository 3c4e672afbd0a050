// A radio group: a framed box of radio buttons laid out in columns, one of them selected.
#pragma once

#include <QButtonGroup>
#include <QFrame>
#include <QList>
#include <QRadioButton>
#include <QStringList>

class TRadioGroup : public QFrame {
    Q_OBJECT

public:
    explicit TRadioGroup(QWidget* parent = nullptr);

    void SetItems(const QStringList& items);
    QStringList Items() const { return m_items; }
    void SetColumns(int columns);
    int Columns() const { return m_columns; }

    // The selected item's position, counting from 0; -1 when none is selected.
    int ItemIndex() const;
    void SetItemIndex(int index);

    QRadioButton* Button(int index) const { return m_buttons.value(index); }

signals:
    // The user clicked an item (also the selected one).
    void Click();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayoutButtons();
    void UpdateTabStop();

    QStringList m_items;
    int m_columns = 1;
    QButtonGroup m_group;
    QList<QRadioButton*> m_buttons;
};
