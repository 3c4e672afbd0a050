// The printable controls: where label texts land (AutoSize, alignment, AlignToBand, OnPrint),
// what system-data fields print, the date and time pictures, and the shapes, band colours,
// frames and clipping as they appear on a rendered page.
#include "platform/Regional.h"
#include "report/QRBand.h"
#include "report/QRDateFormat.h"
#include "report/QRFonts.h"
#include "report/QRLabel.h"
#include "report/QRPrinter.h"
#include "report/QRReport.h"
#include "report/QRShape.h"
#include "report/QRSysData.h"
#include "tests/report/PrinterPage.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

const QFont Arial12 = QRFonts::ReportFont("Arial", 12);

int Blank()
{
    return QRFonts::TextSize(" ", Arial12).width();
}

// One report on a 400 x 300 page whose title band holds the controls under test.
class Controls : public ::testing::Test {
protected:
    Controls()
    {
        report.ShowProgress = false;
        band->Font = Arial12;
        report.Clock = [] { return QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9)); };
    }

    TQRLabel* Label(const char* name, QRect box, TAlignment alignment, bool autoSize,
                    const QString& caption)
    {
        auto* label = new TQRLabel(band);
        label->setObjectName(name);
        label->SetBounds(box.x(), box.y(), box.width(), box.height());
        label->SetAlignment(alignment);
        label->SetAutoSize(autoSize);
        label->SetCaption(caption);
        return label;
    }
    // The texts printed, by control name (the last one printed wins).
    std::map<QString, TQRPrintedText> Printed()
    {
        EXPECT_TRUE(report.Prepare());
        TQRPrinter::Instance().Cleanup();
        std::map<QString, TQRPrintedText> texts;
        for (const TQRPrintedText& t : report.PrintedTexts())
            texts[t.Name] = t;
        return texts;
    }
    // The first page as an image at one pixel per report unit.
    QImage Rendered()
    {
        EXPECT_TRUE(report.Prepare());
        TQRPrinter& store = TQRPrinter::Instance();
        QImage image(store.PageSize(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        store.DrawPage(painter, 1, QRectF(QPointF(0, 0), QSizeF(store.PageSize())));
        painter.end();
        store.Cleanup();
        return image;
    }

    PrinterPage page{400, 300};
    TQRReport report;
    TQRBand* band = new TQRBand(&report, rbTitle, 200);
};

TEST_F(Controls, TextPlacementByAlignmentAndAutoSize)
{
    const int shortWidth = QRFonts::TextSize("Rate:", Arial12).width();
    const int longWidth = QRFonts::TextSize("A much longer caption than its box", Arial12).width();
    auto* right = Label("right", {100, 10, 93, 15}, taRightJustify, true, "Rate:");
    EXPECT_EQ(right->Left + right->Width, 193) << "AutoSize keeps the right edge";
    EXPECT_EQ(right->Width, shortWidth);
    Label("rightLong", {100, 30, 93, 15}, taRightJustify, true,
          "A much longer caption than its box");
    auto* left = Label("left", {100, 50, 93, 15}, taLeftJustify, true, "Rate:");
    EXPECT_EQ(left->Left, 100) << "AutoSize keeps the left edge";
    Label("centre", {50, 70, 82, 15}, taCenter, false, "$95,000");
    Label("empty", {50, 90, 82, 15}, taLeftJustify, true, "");
    auto* changed = Label("changed", {10, 110, 60, 15}, taLeftJustify, true, "before");
    QObject::connect(changed, &TQRCustomLabel::OnPrint, changed,
                     [](TQRCustomLabel*, QString& value) { value = "after OnPrint"; });
    auto* bigger = Label("bigger", {200, 130, 93, 15}, taRightJustify, true, "Rate:");
    bigger->SetFont(QRFonts::ReportFont("Arial", 27, true));
    EXPECT_EQ(bigger->Left + bigger->Width, 293) << "a new font refits, the right edge stays";
    EXPECT_GT(bigger->Height, 27);

    auto texts = Printed();
    EXPECT_NEAR(texts["right"].Box.right() + 1, 193 - Blank(), 1);
    EXPECT_NEAR(texts["rightLong"].Box.right() + 1, 193 - Blank(), 1);
    EXPECT_NEAR(texts["rightLong"].Box.width(), longWidth, 1);
    EXPECT_EQ(texts["left"].Box.x(), 100);
    EXPECT_NEAR(texts["centre"].Box.center().x(), 91, 1);
    EXPECT_EQ(texts.count("empty"), 0u) << "an empty text prints nothing";
    EXPECT_EQ(texts["changed"].Text, "after OnPrint");
    EXPECT_NEAR(texts["bigger"].Box.right() + 1,
                293 - QRFonts::TextSize(" ", bigger->Font()).width(), 1);
}

TEST_F(Controls, AlignToBandMeasuresAgainstThePage)
{
    for (auto [name, alignment] :
         {std::pair{"left", taLeftJustify}, std::pair{"right", taRightJustify},
          std::pair{"centre", taCenter}}) {
        auto* label = Label(name, {150, 10, 60, 15}, alignment, false, "Page");
        label->AlignToBand = true;
    }
    auto texts = Printed();
    EXPECT_EQ(texts["left"].Box.x(), 0);
    EXPECT_NEAR(texts["right"].Box.right() + 1, 400 - Blank(), 1);
    EXPECT_NEAR(texts["centre"].Box.center().x(), 200, 1);
}

struct SysDataCase {
    const char* name;
    TQRSysDataType data;
    QTime time;
    QStringList expected; // one text per detail row
};

class SysData : public ::testing::TestWithParam<SysDataCase> {};

TEST_P(SysData, PrintsTextAndValue)
{
    const SysDataCase& c = GetParam();
    PrinterPage page(400, 60); // room 50: two rows of 20 per page
    TQRReport report;
    report.Clock = [&c] { return QDateTime(QDate(2026, 3, 5), c.time); };
    report.ShowProgress = false;
    report.ReportTitle = "of Rates";
    auto* detail = new TQRBand(&report, rbDetail, 20);
    new TQRBand(&report, rbPageFooter, 10);
    auto* field = new TQRSysData(detail);
    field->setObjectName("field");
    field->Data = c.data;
    field->Text = "At ";
    int rows = 0;
    QObject::connect(&report, &TQRReport::OnNeedData, &report,
                     [&rows](bool& more) { more = ++rows <= 3; });
    EXPECT_TRUE(report.Prepare());
    QStringList printed;
    for (const TQRPrintedText& t : report.PrintedTexts())
        printed << t.Text;
    EXPECT_EQ(printed, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SysData,
    ::testing::Values(
        SysDataCase{"Time", qrsTime, QTime(14, 7, 9), {"At 2:07 PM", "At 2:07 PM", "At 2:07 PM"}},
        SysDataCase{"Date", qrsDate, QTime(9, 0), {"At 3/5/2026", "At 3/5/2026", "At 3/5/2026"}},
        SysDataCase{
            "DateTime",
            qrsDateTime,
            QTime(0, 0, 1),
            {"At 3/5/2026 12:00:01 AM", "At 3/5/2026 12:00:01 AM", "At 3/5/2026 12:00:01 AM"}},
        SysDataCase{"DateTimeAtMidnight",
                    qrsDateTime,
                    QTime(0, 0),
                    {"At 3/5/2026", "At 3/5/2026", "At 3/5/2026"}},
        SysDataCase{"PageNumber", qrsPageNumber, QTime(9, 0), {"At 1", "At 1", "At 2"}},
        SysDataCase{"ReportTitle",
                    qrsReportTitle,
                    QTime(9, 0),
                    {"At of Rates", "At of Rates", "At of Rates"}},
        SysDataCase{"DetailCount", qrsDetailCount, QTime(9, 0), {"At 0", "At 1", "At 2"}},
        SysDataCase{"DetailNo", qrsDetailNo, QTime(9, 0), {"At 1", "At 2", "At 3"}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(DateFormat, RegionalPictures)
{
    TFormatSettings s = Regional::UnitedStates();
    const QDateTime afternoon(QDate(2026, 3, 5), QTime(14, 7, 9));
    const QDateTime night(QDate(2026, 12, 25), QTime(0, 30, 0));
    EXPECT_EQ(QRDateFormat::Format("M/d/yyyy", afternoon, s), "3/5/2026");
    EXPECT_EQ(QRDateFormat::Format("dd.MM.yy", afternoon, s), "05.03.26");
    EXPECT_EQ(QRDateFormat::Format("hh:nn:ss", afternoon, s), "14:07:09");
    EXPECT_EQ(QRDateFormat::Format("h:mm:ss AMPM", night, s), "12:30:00 AM");
    EXPECT_EQ(QRDateFormat::Format("yyyy-MM-dd 'at' h", night, s), "2026-12-25 at 0");
    s.TimePMString = "nachm.";
    EXPECT_EQ(QRDateFormat::Format("h:mm AMPM", afternoon, s), "2:07 nachm.");
    EXPECT_EQ(QRDateFormat::ShortTimeFormat("h:mm:ss AMPM"), "h:mm AMPM");
    EXPECT_EQ(QRDateFormat::ShortTimeFormat("hh:nn:ss"), "hh:nn");
}

struct ShapeCase {
    const char* name;
    TQRShapeType shape;
    QList<QPoint> dark;  // inked points
    QList<QPoint> white; // untouched points
};

class Shapes : public Controls, public ::testing::WithParamInterface<ShapeCase> {};

// Box (20, 20) to (60, 50), pen 2, clear brush.
TEST_P(Shapes, DrawOnTheBox)
{
    auto* shape = new TQRShape(band);
    shape->Pen = QPen(Qt::black, 2);
    shape->Brush = Qt::NoBrush;
    shape->SetShape(GetParam().shape);
    shape->SetBounds(20, 20, 40, 30);
    const QImage image = Rendered();
    for (const QPoint& p : GetParam().dark)
        EXPECT_LT(qGray(image.pixel(p)), 128) << p.x() << "," << p.y();
    for (const QPoint& p : GetParam().white)
        EXPECT_EQ(qGray(image.pixel(p)), 255) << p.x() << "," << p.y();
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Shapes,
    ::testing::Values(
        ShapeCase{"Rectangle", qrsRectangle, {{20, 35}, {59, 35}, {40, 20}, {40, 49}}, {{40, 35}}},
        ShapeCase{"Circle", qrsCircle, {{20, 35}, {40, 20}}, {{21, 21}, {40, 35}}},
        ShapeCase{"VertLine", qrsVertLine, {{20, 35}}, {{40, 35}, {59, 35}, {40, 20}}},
        ShapeCase{"HorLine", qrsHorLine, {{40, 20}}, {{40, 35}, {40, 49}, {20, 35}}},
        ShapeCase{"TopAndBottom", qrsTopAndBottom, {{40, 20}, {40, 50}}, {{20, 35}, {40, 35}}},
        ShapeCase{"RightAndLeft", qrsRightAndLeft, {{20, 35}, {60, 35}}, {{40, 20}, {40, 35}}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(Controls, ShapeSizesFollowTheLineKind)
{
    auto* shape = new TQRShape(band);
    EXPECT_EQ(shape->BoundsRect(), QRect(0, 0, 65, 65));
    shape->Pen.setWidth(3);
    shape->SetShape(qrsHorLine);
    EXPECT_EQ(shape->Height, 6);
    shape->SetShape(qrsVertLine);
    EXPECT_EQ(shape->Width, 6);
}

TEST_F(Controls, BandColourFrameClippingAndTransparency)
{
    band->Color = Qt::yellow;
    band->Frame.DrawTop = true;
    band->Frame.DrawLeft = true;
    band->Frame.Width = 2;
    // A fixed-width label is clipped to its box; an AutoSize one is not.
    auto* clipped = Label("clipped", {100, 60, 20, 15}, taLeftJustify, false, "WWWWWWWW");
    clipped->Color = Qt::white;
    auto* free = Label("free", {100, 90, 20, 15}, taLeftJustify, true, "WWWWWWWW");
    free->Color = Qt::white;
    auto* clear = Label("clear", {100, 120, 20, 15}, taLeftJustify, true, "WWWWWWWW");
    clear->Transparent = true;
    const QImage image = Rendered();
    EXPECT_EQ(image.pixel(300, 150), QColor(Qt::yellow).rgb()) << "band colour";
    EXPECT_LT(qGray(image.pixel(200, 0)), 128) << "top frame line";
    EXPECT_LT(qGray(image.pixel(0, 100)), 128) << "left frame line";
    EXPECT_GT(qGray(image.pixel(300, 199)), 128) << "no bottom frame line";

    const auto inked = [&image](int from, int to, int top) {
        int count = 0;
        for (int x = from; x < to; ++x)
            for (int y = top; y < top + 15; ++y)
                count += qGray(image.pixel(x, y)) < 100;
        return count;
    };
    EXPECT_GT(inked(100, 120, 60), 0);
    EXPECT_EQ(inked(121, 200, 60), 0) << "clipped at the box";
    EXPECT_GT(inked(121, 200, 90), 0) << "AutoSize text is never clipped";
    // Opaque labels fill their text rectangle with their colour, transparent ones do not.
    EXPECT_EQ(image.pixel(101, 61), QColor(Qt::white).rgb());
    EXPECT_EQ(image.pixel(101, 121), QColor(Qt::yellow).rgb());
}

} // namespace
