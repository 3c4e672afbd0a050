// A window holding the calculator's APR grid, its toolbar and the update centre's buttons, for
// looking at them. Disabled: run it by hand on a real display with
//   build/tests/test_controls --gtest_also_run_disabled_tests --gtest_filter='ControlsShowcase.*'
// It stays open until the window is closed.
#include "controls/URLLabel.h"
#include "tests/controls/GridShowcase.h"

#include <QApplication>
#include <QLabel>
#include <gtest/gtest.h>

namespace {
TExplorerButton* CaptionButton(QWidget* parent, const char* name, const char* image,
                               const QString& caption, const QRect& geometry)
{
    auto* button = new TExplorerButton(parent);
    button->setObjectName(name);
    if (image)
        button->SetBitmap(LoadArtwork(image));
    button->SetCaption(caption);
    button->SetLayout(blBitmapLeft);
    button->setGeometry(geometry);
    return button;
}
} // namespace

TEST(ControlsShowcase, DISABLED_Window)
{
    QWidget window;
    window.setWindowTitle("Tallyhorn controls");
    window.setGeometry(20, 20, 612, 330);
    QFont arial("Arial");
    arial.setPixelSize(11);
    window.setFont(arial);

    auto* toolbar = new QWidget(&window);
    toolbar->setGeometry(0, 0, 612, 30);
    using showcase::ToolbarButton;
    ToolbarButton(toolbar, "btnPrint", "print_preview", " Print Preview ...", 8)->setEnabled(false);
    ToolbarButton(toolbar, "btnPrinterSetup", "printer_setup", " Printer Setup ...", 36);
    ToolbarButton(toolbar, "btnReset", "reset", " Reset", 63)->setEnabled(false);
    ToolbarButton(toolbar, "btnDisclaim", "disclaimer", " Disclaimer ...", 91);
    ToolbarButton(toolbar, "btnUpdate", "update", " Check for Updates ...", 118);
    ToolbarButton(toolbar, "btnHelp", "help", " Help ...", 146);
    CaptionButton(toolbar, "btnCalculate", "calculate", "Calculate", {365, 3, 87, 24});
    TExplorerButton* autoCalc = CaptionButton(toolbar, "btnAutoCalcStatus", nullptr,
                                              "AutoCalc Grid:  OFF", {459, 3, 114, 24});
    QFont bold = arial;
    bold.setBold(true);
    autoCalc->setFont(bold);
    ToolbarButton(toolbar, "btnExit", "exit", " Exit", 580);

    auto* grid = new TStringAlignGrid(&window);
    showcase::ConfigureAprGrid(*grid);
    grid->setGeometry(0, 36, 612, 12 * 19 + 4);
    for (int col = 1; col < 8; ++col)
        for (int row = 1; row < 12; ++row)
            grid->SetCells(col, row,
                           QString(" %1%").arg(8.5 + 0.125 * row + 0.05 * col, 0, 'f', 3));

    CaptionButton(&window, "btnCheckForUpdate", "update_check", "Check for &Update",
                  {6, 272, 131, 25});
    CaptionButton(&window, "btnRetrieveUpdate", "update_retrieve", " &Retrieve Update",
                  {140, 272, 131, 25});
    CaptionButton(&window, "btnClose", "update_close", " &Close Update Center",
                  {274, 272, 131, 25});
    CaptionButton(&window, "bbOK", "ok", " &OK", {420, 272, 115, 25});
    auto* link = new TURLLabel(&window);
    link->setText("www.example.com");
    link->SetFontColor(QColor(0, 0, 255));
    link->SetFontStyle(fsUnderline);
    link->SetMouseOverColor(QColor(255, 0, 0));
    link->SetMouseOverFont(fsUnderline);
    link->setGeometry(10, 305, 200, 16);

    window.show();
    QApplication::exec();
}
