// The help viewer: one window for the program's help file, with its contents, keyword index,
// topic pane, history and printing. Every help command of the program goes through Help(),
// which reuses the one window.
#pragma once

#include "platform/HelpFile.h"

#include <QDateTime>
#include <QPointer>
#include <QPrinter>
#include <QWidget>
#include <memory>

class HelpBrowser;
class QAction;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

// The commands a program gives the help viewer.
enum THelpCommand {
    hcContents,   // the contents, opened at the first page
    hcPartialKey, // the keyword index, its search field holding the given text
    hcHelpOnHelp, // the viewer's own instructions
    hcContext,    // the topic with the given context number
    hcQuit        // close the viewer
};

class HelpViewer : public QWidget {
    Q_OBJECT

public:
    // Carries out `command` for the help file at `path`. `keyword` is the start of the search
    // for hcPartialKey; `context` the context number for hcContext. A help file that is missing
    // or damaged is reported in one message box and the command does nothing else (the viewer's
    // own instructions still open). False when the command could not be carried out.
    static bool Help(const QString& path, THelpCommand command, int context = 0,
                     const QString& keyword = {});

    // The application's help file, set at start-up; HelpContext opens its topics. From then on
    // F1 in a widget with a "HelpContext" property (an int above 0), or in one of its children,
    // opens that topic.
    static void SetApplicationHelpFile(const QString& path);
    static QString ApplicationHelpFile();
    // hcContext on the application's help file (F1 in a window with a context number).
    static bool HelpContext(int context) { return Help(ApplicationHelpFile(), hcContext, context); }

    // The viewer window while one exists, else null.
    static HelpViewer* Current();

    // The loaded help file.
    const HelpFile& File() const { return m_file; }
    // The address shown in the topic pane ("topic:id", "viewer:how-to-use"), empty for none.
    QString CurrentPage() const;
    // Opens a topic by its id; false (and a note in the pane) for an unknown id.
    bool ShowTopic(const QString& id);
    // Prints the topic shown on `printer`.
    void PrintTopic(QPrinter* printer);

    // The controls, for the keyboard and for tests.
    QTabWidget* Tabs() const { return m_tabs; }
    QTreeWidget* ContentsTree() const { return m_contents; }
    QLineEdit* IndexSearch() const { return m_search; }
    QListWidget* IndexList() const { return m_index; }
    HelpBrowser* Browser() const { return m_browser; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    HelpViewer();
    ~HelpViewer() override;

    bool Load(const QString& path);
    void FillContents();
    void FillIndex(const QString& typed);
    void OpenIndexEntry();
    void OpenContentsItem(QTreeWidgetItem* item);
    void ShowContents();
    void ShowIndex(const QString& typed);
    void ShowHowToUse();
    void PrintCommand();
    void PageChanged();
    void Present();
    void BelongToModalWindow();

    HelpFile m_file;
    QDateTime m_loadedStamp;
    qint64 m_loadedSize = -1;
    QList<HelpIndexEntry> m_entries;
    std::unique_ptr<QPrinter> m_printer; // made when the user first prints

    QAction* m_contentsAction = nullptr;
    QAction* m_indexAction = nullptr;
    QAction* m_backAction = nullptr;
    QAction* m_forwardAction = nullptr;
    QAction* m_printAction = nullptr;
    QAction* m_howToAction = nullptr;
    QTabWidget* m_tabs = nullptr;
    QTreeWidget* m_contents = nullptr;
    QLineEdit* m_search = nullptr;
    QListWidget* m_index = nullptr;
    QPushButton* m_display = nullptr;
    HelpBrowser* m_browser = nullptr;
    bool m_placed = false;
};
