// The Compare Offers dialog (File > Compare Offers...): two to four loan offers side by side,
// their inputs in columns above, their figures below as a table (rows = figures, columns =
// offers) with the best offer on the cost rows marked in words, the break-even month of each
// pair, and the buttons Add Offer, Remove Offer, Copy, Preview and Close. The figures follow
// the inputs as each field is left; an offer whose inputs are out of range shows why beneath
// its column and no figures. Enter in a field moves to the next one; F1 opens its help topic.
#pragma once

#include "calc/Offers.h"

#include <QDialog>
#include <array>
#include <memory>
#include <vector>

class QGridLayout;
class QLabel;
class QPushButton;
class QTableWidget;
class TFnpNumericEdit;
class TNumEdit;
class TOfferComparison;
class TQROfferComparison;

class TfrmCompareOffers : public QDialog {
    Q_OBJECT

public:
    // `offers` to start with (completed with `added` up to MinOffers, cut to MaxOffers);
    // `added` is what Add Offer puts in a new column: the window's loan.
    TfrmCompareOffers(std::vector<calc::Offer> offers, const calc::Offer& added,
                      QWidget* parent = nullptr);
    ~TfrmCompareOffers() override;

    static constexpr int HelpContextNumber = 37;
    static constexpr int InputCount = 8;

    // The offers as their fields hold them, one per column shown.
    std::vector<calc::Offer> Offers() const;
    int OfferCount() const { return m_count; }
    // The comparison shown now; null while an offer's inputs are out of range.
    const TOfferComparison* Comparison() const { return m_comparison.get(); }

    // Closing takes a number still being typed, as leaving its field would.
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Width of an offer's fields; its column of figures below is as wide with the spacing.
    static constexpr int OfferWidth = 150;

    // One offer's column: its heading, its eight inputs in the order of calc::Offer, and the
    // message that says why it has no figures.
    struct Column {
        QLabel* heading = nullptr;
        TNumEdit* loan = nullptr;
        TFnpNumericEdit* term = nullptr;
        TFnpNumericEdit* rate = nullptr;
        TFnpNumericEdit* points = nullptr;
        TNumEdit* fees = nullptr;
        TNumEdit* costs = nullptr;
        TNumEdit* mi = nullptr;
        TFnpNumericEdit* miMonths = nullptr;
        QLabel* message = nullptr;
        std::array<QWidget*, InputCount> Inputs() const;
    };

    void CreateColumn(int index);
    void SetOffer(int index, const calc::Offer& offer);
    calc::Offer OfferAt(int index) const;
    void ShowCount(int count);
    void AddOffer();
    void RemoveOffer();
    void Recalculate();
    void ShowFigures();
    void FitTable();
    void SetTabOrder();
    void CopyFigures();
    void PreviewReport();

    std::array<Column, calc::MaxOffers> m_columns;
    std::array<QLabel*, InputCount> m_captions{};
    int m_count = 0;
    calc::Offer m_added;
    std::unique_ptr<TOfferComparison> m_comparison;
    QGridLayout* m_inputGrid = nullptr;
    QTableWidget* grdFigures = nullptr;
    // The break-even of each pair: its caption and its text, read together.
    static constexpr int MaxPairs = calc::MaxOffers * (calc::MaxOffers - 1) / 2;
    std::array<QLabel*, MaxPairs> m_pairCaptions{};
    std::array<QLabel*, MaxPairs> m_pairTexts{};
    QLabel* lblNote = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnRemove = nullptr;
    QPushButton* btnCopy = nullptr;
    QPushButton* btnPreview = nullptr;
    QPushButton* btnClose = nullptr;
    TQROfferComparison* m_report = nullptr; // made on the first preview
};
