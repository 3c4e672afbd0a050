#include "report/QRPageParts.h"

#include "report/QRBand.h"
#include "report/QRFonts.h"
#include "report/QRLabel.h"
#include "report/QRShape.h"
#include "report/QRSysData.h"

namespace QRPageParts {

TQRLabel* Label(TQRBand* band, const QString& name, int fontHeight, bool bold, TAlignment alignment)
{
    auto* label = new TQRLabel(band);
    label->setObjectName(name);
    label->SetAlignment(alignment);
    label->SetAutoSize(false);
    label->ShrinkToFit = true;
    label->Transparent = true;
    label->SetFont(QRFonts::ReportFont(QStringLiteral("Arial"), fontHeight, bold), Qt::black);
    return label;
}

TQRShape* Rule(TQRBand* band, const char* name, int top)
{
    auto* shape = new TQRShape(band);
    shape->setObjectName(QString::fromLatin1(name));
    shape->Pen = QPen(Qt::black, 1);
    shape->SetBounds(Margin, top, 100, 0);
    shape->SetShape(qrsHorLine);
    return shape;
}

void TitleAndDate(TQRBand* band, const QString& title, TQRLabel*& lblTitle, TQRSysData*& QRDateTime)
{
    lblTitle = Label(band, "lblTitle", Height20pt, true, taLeftJustify);
    lblTitle->SetAutoSize(true);
    lblTitle->SetBounds(Margin, 20, 300, 32);
    lblTitle->SetCaption(title);
    QRDateTime = new TQRSysData(band);
    QRDateTime->setObjectName(QStringLiteral("QRDateTime"));
    QRDateTime->SetBounds(Margin + 2, 54, 200, 14);
    QRDateTime->Data = qrsDateTime;
    QRDateTime->Text = QStringLiteral("Printed at ");
    QRDateTime->SetFont(QRFonts::ReportFont(QStringLiteral("Arial"), Height8pt));
    QRDateTime->SetAutoSize(true);
}

} // namespace QRPageParts
