#include "report/QROfferComparison.h"

#include "Version.h"
#include "report/QRBand.h"
#include "report/QRFonts.h"
#include "report/QRLabel.h"
#include "report/QRPageParts.h"
#include "report/QRPrinter.h"
#include "report/QRReport.h"
#include "report/QRShape.h"
#include "report/QRSysData.h"

#include <algorithm>

using namespace QRPageParts;

namespace {
const QString Arial = QStringLiteral("Arial");

constexpr int LineHeight = 18;

} // namespace

TQROfferComparison::TQROfferComparison(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("QROfferComparison"));
    Rep = new TQRReport(this);
    Rep->setObjectName(QStringLiteral("Rep"));
    Rep->ReportTitle = QString::fromLatin1(Title);
    Rep->Orientation = QPageLayout::Portrait;
    Rep->PaperSize = qrpDefault;
    Rep->TitleBeforeHeader = true;
    connect(Rep, &TQRReport::BeforePrint, this, &TQROfferComparison::RepBeforePrint);
    connect(Rep, &TQRReport::OnNeedData, this, &TQROfferComparison::RepNeedData);

    TitleBand = new TQRBand(Rep, rbTitle, 84);
    TitleBand->setObjectName(QStringLiteral("TitleBand"));
    TitleAndDate(TitleBand, QString::fromLatin1(Title), lblTitle, QRDateTime);
    Rule(TitleBand, "TitleRule", 80);

    Detail = new TQRBand(Rep, rbDetail, LineHeight);
    Detail->setObjectName(QStringLiteral("Detail"));
    lblCaption = Label(Detail, "lblCaption", Height9pt, false, taLeftJustify);
    for (int i = 0; i < MaxColumns; ++i)
        m_values.push_back(Label(Detail, QStringLiteral("lblOffer%1").arg(i + 1), Height9pt, false,
                                 taRightJustify));
    lblLowest = Label(Detail, "lblLowest", Height9pt, true, taLeftJustify);
    lblWide = Label(Detail, "lblWide", Height9pt, false, taLeftJustify);
    connect(Detail, &TQRBand::BeforePrint, this, &TQROfferComparison::DetailBeforePrint);

    PageFooter = new TQRBand(Rep, rbPageFooter, 24);
    PageFooter->setObjectName(QStringLiteral("PageFooter"));
    Rule(PageFooter, "FooterRule", 2);
    lblFooter = Label(PageFooter, "lblFooter", Height8pt, false, taLeftJustify);
    lblFooter->SetCaption(QString::fromLatin1(Title));
    lblVersion = Label(PageFooter, "lblVersion", Height8pt, false, taRightJustify);
    lblVersion->SetCaption(QStringLiteral("Tallyhorn, " TALLYHORN_VERSION));
}

void TQROfferComparison::PlaceColumns()
{
    // The caption column takes a third of the printed width, the "Lowest" column what "Offer
    // 4" needs, and the offers share the rest.
    const int pageWidth = TQRPrinter::Instance().LayoutSize().width();
    const int width = std::max(300, pageWidth - 2 * Margin);
    const int offers = std::clamp(int(m_source.Offers.size()), 1, MaxColumns);
    const bool narrow = width < 600;
    const int caption = width * (narrow ? 34 : 30) / 100;
    const int lowest = narrow ? 40 : 56;
    const int column = std::min(150, (width - caption - lowest) / offers);
    // Narrow paper takes the smaller font throughout, so the table keeps one size of text.
    m_fontHeight = narrow ? Height8pt : Height9pt;
    const int top = 2, height = 15;
    lblCaption->SetBounds(Margin + 2, top, caption - 6, height);
    for (int i = 0; i < MaxColumns; ++i)
        m_values[std::size_t(i)]->SetBounds(Margin + caption + i * column + 2, top, column - 4,
                                            height);
    lblLowest->SetBounds(Margin + caption + offers * column + 6, top, lowest - 6, height);
    lblWide->SetBounds(Margin + 2, top, width - 4, height);
    m_width = width;
    m_valuesLeft = Margin + caption + 4;
    m_right = Margin + caption + offers * column + lowest - 2;
    for (TQRBand* band : {TitleBand, PageFooter})
        for (TQRPrintable* control : band->Controls())
            if (auto* shape = qobject_cast<TQRShape*>(control))
                shape->Width = width;
    lblFooter->SetBounds(Margin + 2, 6, width / 2, 14);
    lblVersion->SetBounds(Margin + width / 2, 6, width / 2 - 2, 14);
}

void TQROfferComparison::RepBeforePrint(bool&)
{
    PlaceColumns();
    // The table as lines: the column headings, the inputs, the figures, the break-evens and
    // the notes, each group under its heading.
    m_lines.clear();
    m_next = 0;
    m_current = 0;
    m_lines.push_back({TLine::Columns, 0, QString()});
    m_lines.push_back({TLine::Heading, 0, QStringLiteral("Loan Terms")});
    for (std::size_t i = 0; i < m_source.Inputs.size(); ++i)
        m_lines.push_back({TLine::Row, i, QStringLiteral("input")});
    m_lines.push_back({TLine::Heading, 0, QStringLiteral("Figures")});
    for (std::size_t i = 0; i < m_source.Figures.size(); ++i)
        m_lines.push_back({TLine::Row, i, QString()});
    if (!m_source.BreakEvens.empty())
        m_lines.push_back({TLine::Heading, 0, QStringLiteral("Break-Even")});
    for (std::size_t i = 0; i < m_source.BreakEvens.size(); ++i)
        m_lines.push_back({TLine::Pair, i, QString()});
    m_lines.push_back({TLine::Heading, 0, QString()});
    for (std::size_t i = 0; i < std::size_t(m_source.Notes.size()); ++i)
        m_lines.push_back({TLine::Note, i, QString()});
}

void TQROfferComparison::RepNeedData(bool& moreData)
{
    moreData = m_next < m_lines.size();
    if (!moreData)
        return;
    m_current = m_next++;
    // A heading stands apart from the lines above it; notes print closer together. The band
    // takes its height before the layout places it.
    const TLine kind = m_lines[m_current].Kind;
    Detail->Height = kind == TLine::Heading ? 28 : kind == TLine::Note ? 15 : LineHeight;
}

void TQROfferComparison::DetailBeforePrint(bool&)
{
    const TPrintedLine line = m_lines[m_current];
    const int offers = int(m_source.Offers.size());
    const bool row = line.Kind == TLine::Row || line.Kind == TLine::Columns;
    lblCaption->Visible = row || line.Kind == TLine::Pair;
    lblLowest->Visible = row;
    for (int i = 0; i < MaxColumns; ++i)
        m_values[std::size_t(i)]->Visible = row && i < offers;
    lblWide->Visible = !row;
    const QFont plain = QRFonts::ReportFont(Arial, m_fontHeight);
    const QFont bold = QRFonts::ReportFont(Arial, m_fontHeight, true);
    for (TQRLabel* value : m_values)
        value->SetFont(line.Kind == TLine::Columns ? bold : plain, Qt::black);
    lblCaption->SetFont(plain, Qt::black);
    lblLowest->SetFont(bold, Qt::black);
    lblWide->SetFont(line.Kind == TLine::Heading ? QRFonts::ReportFont(Arial, Height10pt, true)
                     : line.Kind == TLine::Note  ? QRFonts::ReportFont(Arial, Height8pt)
                                                 : plain,
                     Qt::black);
    // A break-even's text stands where the offers' columns start, the others span the table.
    const int left = line.Kind == TLine::Pair ? m_valuesLeft : Margin + 2;
    const int right = line.Kind == TLine::Note ? Margin + m_width : m_right;
    const int top = line.Kind == TLine::Heading ? Detail->Height - 17
                    : line.Kind == TLine::Note  ? 0
                                                : 2;
    lblWide->SetBounds(left, top, right - left, lblWide->Height);
    switch (line.Kind) {
    case TLine::Columns:
        lblCaption->SetCaption(QString());
        for (int i = 0; i < offers && i < MaxColumns; ++i)
            m_values[std::size_t(i)]->SetCaption(m_source.Offers[i]);
        lblLowest->SetCaption(QStringLiteral("Lowest"));
        break;
    case TLine::Heading: lblWide->SetCaption(line.Text); break;
    case TLine::Row: {
        const TOfferReportSource::Row& r =
            line.Text.isEmpty() ? m_source.Figures[line.Index] : m_source.Inputs[line.Index];
        lblCaption->SetCaption(r.Caption);
        for (int i = 0; i < offers && i < MaxColumns; ++i)
            m_values[std::size_t(i)]->SetCaption(i < r.Texts.size() ? r.Texts[i] : QString());
        lblLowest->SetCaption(r.Lowest);
        break;
    }
    case TLine::Pair:
        lblCaption->SetCaption(m_source.BreakEvens[line.Index].first);
        lblWide->SetCaption(m_source.BreakEvens[line.Index].second);
        break;
    case TLine::Note: lblWide->SetCaption(m_source.Notes[qsizetype(line.Index)]); break;
    }
}

void TQROfferComparison::Preview()
{
    TQRPrinter::Instance().ProgressCaption = QString::fromLatin1(ProgressCaption);
    Rep->Preview();
}

bool TQROfferComparison::PrintToPdf(const QString& path)
{
    return Rep->PrintToPdf(path, QString::fromLatin1(ProgressCaption));
}
