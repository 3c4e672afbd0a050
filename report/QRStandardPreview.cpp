#include "report/QRStandardPreview.h"

#include "platform/Application.h"
#include "report/QRPrinter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {
// The current page at full size on a white sheet.
class TSheet : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        TQRPrinter& store = TQRPrinter::Instance();
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.setPen(Qt::black);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        store.DrawPage(painter, store.PageNumber(),
                       QRectF(store.PrintingOffset(), QSizeF(store.PageSize())));
    }
};
} // namespace

TQRStandardPreview::TQRStandardPreview(QWidget* parent) : QDialog(parent)
{
    TQRPrinter& store = TQRPrinter::Instance();
    setObjectName(QStringLiteral("QRStandardPreview"));
    setWindowTitle(store.PreviewCaption.isEmpty() ? QStringLiteral("Print Preview")
                                                  : store.PreviewCaption);
    resize(860, 700);

    auto* buttons = new QHBoxLayout;
    m_previous = new QPushButton(QStringLiteral("&Previous page"), this);
    m_next = new QPushButton(QStringLiteral("&Next page"), this);
    auto* print = new QPushButton(QStringLiteral("P&rint"), this);
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    m_indicator = new QLabel(this);
    for (QWidget* w : {static_cast<QWidget*>(m_previous), static_cast<QWidget*>(m_next),
                       static_cast<QWidget*>(print), static_cast<QWidget*>(close),
                       static_cast<QWidget*>(m_indicator)})
        buttons->addWidget(w);
    buttons->addStretch();

    m_sheet = new TSheet;
    m_sheet->setFixedSize(store.PaperSize());
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(m_sheet);
    scroll->setAlignment(Qt::AlignHCenter);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(scroll);

    connect(m_previous, &QPushButton::clicked, this, [this] {
        Application::Guard(this, [] {
            TQRPrinter& s = TQRPrinter::Instance();
            s.SelectPage(s.PageNumber() - 1);
        });
    });
    connect(m_next, &QPushButton::clicked, this, [this] {
        Application::Guard(this, [] {
            TQRPrinter& s = TQRPrinter::Instance();
            s.SelectPage(s.PageNumber() + 1);
        });
    });
    connect(print, &QPushButton::clicked, this,
            [this] { Application::Guard(this, [] { TQRPrinter::Instance().Print(); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(&store, &TQRPrinter::PageChanged, this, [this] { UpdatePage(); });
    print->setEnabled(store.PrinterOK());
    UpdatePage();
}

void TQRStandardPreview::UpdatePage()
{
    TQRPrinter& store = TQRPrinter::Instance();
    m_indicator->setText(
        QStringLiteral("Page %1 of %2").arg(store.PageNumber()).arg(store.PageCount()));
    m_previous->setEnabled(store.PageNumber() > 1);
    m_next->setEnabled(store.PageNumber() < store.PageCount());
    m_sheet->update();
}

void TQRStandardPreview::Show()
{
    TQRStandardPreview preview;
    preview.exec();
}
