// The Compare Offers dialog's figures: the table of every offer's figures with the lowest
// offer named, the break-even lines, and the Copy and Preview buttons.
#include "app/CompareOffersDialog.h"
#include "calc/Errors.h"
#include "loan/OfferComparison.h"
#include "platform/DialogFont.h"
#include "report/QROfferComparison.h"
#include "report/QRPrinter.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <optional>

namespace {
const QColor LowestColour(214, 240, 214);

// The figures of one offer alone, or why it has none (the range error's text).
struct OfferCheck {
    std::optional<TOfferComparison> alone;
    QString message;
};

OfferCheck CheckOffer(const calc::Offer& offer)
{
    OfferCheck check;
    try {
        // The texts of one offer are those of a comparison of it with itself: every text of
        // its column is formatted by the comparison, as in the full one.
        check.alone.emplace(std::vector<calc::Offer>{offer, offer});
    } catch (const calc::ERangeError& e) {
        check.message = QString::fromStdString(e.what());
    } catch (const calc::EMathError&) {
        check.message = QStringLiteral("These inputs give no figures.");
    }
    if (check.message.startsWith(QStringLiteral("offer 1: ")))
        check.message = check.message.mid(9);
    if (!check.message.isEmpty())
        check.message[0] = check.message[0].toUpper();
    return check;
}
} // namespace

void TfrmCompareOffers::Recalculate()
{
    // Each offer is checked alone, so that each column says what is wrong with it; the
    // comparison (lowest offers, break-evens) needs every offer valid.
    const std::vector<calc::Offer> offers = Offers();
    std::vector<OfferCheck> checks;
    bool allValid = true;
    for (int i = 0; i < m_count; ++i) {
        checks.push_back(CheckOffer(offers[i]));
        m_columns[i].message->setText(checks.back().message);
        // No room is kept under the columns while no offer has a message.
        m_columns[i].message->setVisible(!checks.back().message.isEmpty());
        allValid = allValid && checks.back().alone.has_value();
    }
    m_comparison.reset();
    if (allValid) {
        try {
            m_comparison = std::make_unique<TOfferComparison>(offers);
        } catch (const calc::EMathError&) {
        }
    }

    // Each offer's own texts while the comparison cannot be made: those of the valid offers.
    std::vector<std::vector<TOfferComparison::Row>> own(m_count);
    for (int i = 0; i < m_count; ++i)
        if (!m_comparison && checks[i].alone)
            own[i] = checks[i].alone->FigureRows();
    std::vector<TOfferComparison::Row> rows;
    if (m_comparison)
        rows = m_comparison->FigureRows();
    for (int i = 0; i < m_count && rows.empty(); ++i)
        rows = own[i];
    if (rows.empty()) // no offer gives figures: the captions of a plain loan's
        rows =
            TOfferComparison({calc::Offer{100000, 30, 6}, calc::Offer{100000, 30, 6}}).FigureRows();

    // Rows are the figures, columns their captions, the offers and the lowest offer's name.
    // The captions are a column of their own, so that a screen reader reading a row whole
    // (as Orca does moving up and down) says which figure it is; they are the rows' headers
    // too.
    grdFigures->clear();
    grdFigures->setRowCount(static_cast<int>(rows.size()));
    grdFigures->setColumnCount(m_count + 2);
    QStringList headings{QStringLiteral("Figure")};
    for (int i = 0; i < m_count; ++i)
        headings << TOfferComparison::OfferName(i);
    headings << QStringLiteral("Lowest");
    grdFigures->setHorizontalHeaderLabels(headings);
    QStringList captions;
    for (const TOfferComparison::Row& row : rows)
        captions << row.caption;
    grdFigures->setVerticalHeaderLabels(captions);
    QFont bold = font();
    bold.setBold(true);
    const QBrush captionColour = palette().button();
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        auto* caption = new QTableWidgetItem(rows[r].caption);
        caption->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        caption->setBackground(captionColour);
        grdFigures->setItem(r, 0, caption);
        for (int i = 0; i < m_count; ++i) {
            // An offer with a message has no figures: nothing is shown for it.
            const QString text = m_comparison     ? rows[r].texts.value(i)
                                 : own[i].empty() ? QString()
                                                  : own[i][r].texts.value(0);
            auto* item = new QTableWidgetItem(text);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            // A screen reader in the table hears why the cell is empty.
            if (!checks[i].message.isEmpty())
                item->setData(Qt::AccessibleTextRole, "No figure: " + checks[i].message);
            if (m_comparison && rows[r].lowest == i) {
                item->setFont(bold);
                item->setBackground(LowestColour);
            }
            grdFigures->setItem(r, i + 1, item);
        }
        auto* lowest = new QTableWidgetItem(m_comparison ? rows[r].LowestText() : QString());
        lowest->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        grdFigures->setItem(r, m_count + 1, lowest);
    }
    ShowFigures();
}

void TfrmCompareOffers::ShowFigures()
{
    std::vector<TOfferComparison::PairRow> pairs;
    if (m_comparison) {
        pairs = m_comparison->BreakEvenRows();
        lblNote->setText(TOfferComparison::Notes().join(' '));
    } else {
        lblNote->setText(QStringLiteral("The lowest offers and the break-even months show once "
                                        "every offer's inputs give figures."));
    }
    for (int i = 0; i < MaxPairs; ++i) {
        const bool shown = i < static_cast<int>(pairs.size());
        m_pairCaptions[i]->setText(shown ? pairs[i].caption + ':' : QString());
        m_pairTexts[i]->setText(shown ? pairs[i].text : QString());
        m_pairCaptions[i]->setVisible(shown);
        m_pairTexts[i]->setVisible(shown);
    }
    btnCopy->setEnabled(m_comparison != nullptr);
    btnPreview->setEnabled(m_comparison != nullptr);
    FitTable();
}

void TfrmCompareOffers::FitTable()
{
    // The table shows whole, without scroll bars, its offer columns under the offers' fields.
    int captionWidth = 0;
    for (const QLabel* caption : m_captions)
        captionWidth = std::max(captionWidth, caption->sizeHint().width());
    for (int r = 0; r < grdFigures->rowCount(); ++r)
        captionWidth = std::max(
            captionWidth,
            grdFigures->fontMetrics().horizontalAdvance(grdFigures->item(r, 0)->text()) + 12);
    const int frame = grdFigures->frameWidth();
    // The fields' grid: the captions' column, then each offer 8 pixels further on.
    m_inputGrid->setColumnMinimumWidth(0, captionWidth);
    grdFigures->setColumnWidth(0, captionWidth + 8 - frame);
    for (int c = 1; c <= m_count; ++c)
        grdFigures->setColumnWidth(c, OfferWidth + 8);
    grdFigures->setColumnWidth(m_count + 1,
                               grdFigures->fontMetrics().horizontalAdvance("Offer 4") + 24);
    int width = 2 * frame;
    for (int c = 0; c < grdFigures->columnCount(); ++c)
        width += grdFigures->columnWidth(c);
    int height = grdFigures->horizontalHeader()->sizeHint().height() + 2 * frame;
    for (int r = 0; r < grdFigures->rowCount(); ++r)
        height += grdFigures->rowHeight(r);
    grdFigures->setFixedSize(width, height);
}

void TfrmCompareOffers::CopyFigures()
{
    if (m_comparison)
        QGuiApplication::clipboard()->setText(m_comparison->CopyText());
}

void TfrmCompareOffers::PreviewReport()
{
    // One report at a time: a preview or print already running keeps the page store.
    if (!m_comparison || TQRPrinter::Instance().State() != TQRPrinterState::Idle)
        return;
    if (!m_report)
        m_report = new TQROfferComparison(this);
    m_report->SetSource(m_comparison->Source());
    m_report->Preview();
}
