#include "platform/RadioGroup.h"

#include "platform/Application.h"

TRadioGroup::TRadioGroup(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Box | QFrame::Sunken);
    m_group.setExclusive(true);
    connect(&m_group, &QButtonGroup::idClicked, this,
            [this](int) { Application::Guard(this, [this] { emit Click(); }); });
    connect(&m_group, &QButtonGroup::idToggled, this, [this](int, bool) { UpdateTabStop(); });
}

void TRadioGroup::UpdateTabStop()
{
    // The group is one tab stop, on its checked item (the first when none is checked); the
    // arrow keys move between the items.
    QAbstractButton* checked = m_group.checkedButton();
    for (QRadioButton* button : m_buttons)
        button->setFocusPolicy(button == checked || (!checked && button == m_buttons.front())
                                   ? Qt::StrongFocus
                                   : Qt::ClickFocus);
}

void TRadioGroup::SetItems(const QStringList& items)
{
    qDeleteAll(m_buttons);
    m_buttons.clear();
    m_items = items;
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        button->setObjectName(QStringLiteral("%1_item%2").arg(objectName()).arg(i));
        m_group.addButton(button, i);
        m_buttons.append(button);
        button->show();
    }
    UpdateTabStop();
    LayoutButtons();
}

void TRadioGroup::SetColumns(int columns)
{
    m_columns = qMax(1, columns);
    LayoutButtons();
}

int TRadioGroup::ItemIndex() const
{
    return m_group.checkedId();
}

void TRadioGroup::SetItemIndex(int index)
{
    if (QRadioButton* button = Button(index)) {
        button->setChecked(true);
    } else if (QAbstractButton* checked = m_group.checkedButton()) {
        m_group.setExclusive(false);
        checked->setChecked(false);
        m_group.setExclusive(true);
    }
}

void TRadioGroup::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    LayoutButtons();
}

void TRadioGroup::LayoutButtons()
{
    // Items fill the columns top to bottom, then left to right, in equal cells.
    if (m_buttons.isEmpty())
        return;
    const int rows = (int(m_buttons.size()) + m_columns - 1) / m_columns;
    const int margin = 4;
    const int cellWidth = (width() - 2 * margin) / m_columns;
    const int cellHeight = (height() - 2 * margin) / rows;
    for (int i = 0; i < m_buttons.size(); ++i) {
        const int col = i / rows;
        const int row = i % rows;
        m_buttons[i]->setGeometry(margin + col * cellWidth, margin + row * cellHeight, cellWidth,
                                  cellHeight);
    }
}
