#include "platform/HelpViewer.h"

#include "platform/Application.h"
#include "platform/HelpBrowser.h"
#include "platform/HelpIndex.h"
#include "platform/LoopGuard.h"
#include "platform/MessageBox.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPrintDialog>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

// The viewer's own pages are compiled into this static library.
static void InitPlatformResources()
{
    Q_INIT_RESOURCE(platform);
}

namespace {
QPointer<HelpViewer>& Instance()
{
    static QPointer<HelpViewer> viewer;
    return viewer;
}

constexpr int topicRole = Qt::UserRole;

QString ProblemText(const HelpFile& file)
{
    const QString name = QDir::toNativeSeparators(file.Path());
    QString reason;
    switch (file.GetStatus()) {
    case HelpFile::Status::Missing:
        reason = QStringLiteral("the help file \"%1\" is missing.").arg(name);
        break;
    case HelpFile::Status::Unreadable:
        reason = QStringLiteral("the help file \"%1\" cannot be read.").arg(name);
        break;
    default:
        reason = QStringLiteral("the help file \"%1\" is damaged (%2).").arg(name, file.Error());
        break;
    }
    return QStringLiteral("Help is not available because %1\n\nInstalling the program again "
                          "puts its help file back.")
        .arg(reason);
}

// Runs a handler of the viewer through the application's guard.
template <typename F> auto Guarded(QObject* sender, F handler)
{
    return [sender, handler](auto&&...) { Application::Guard(sender, handler); };
}
// The caption of help's own messages: the application's title, as every other box has it.
QString MessageCaption()
{
    const Application* app = Application::instance();
    return app && !app->Title().isEmpty() ? app->Title()
                                          : QGuiApplication::applicationDisplayName();
}

} // namespace

static QString& HelpFilePath()
{
    static QString path;
    return path;
}

namespace {
// A printer drawn for the Print button where the desktop has no icon theme: a sheet in the
// feed, the body, and the printed sheet coming out.
QIcon PrinterIcon()
{
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setPen(QColor(64, 64, 64));
    p.setBrush(Qt::white);
    p.drawRect(4, 1, 7, 5);
    p.setBrush(QColor(160, 160, 160));
    p.drawRect(1, 6, 13, 6);
    p.setBrush(Qt::white);
    p.drawRect(4, 10, 7, 5);
    p.drawLine(6, 12, 9, 12);
    return QIcon(picture);
}

// F1 in a widget that has a "HelpContext" property, or inside one, opens that topic of the
// application's help file.
class ContextHelpKey : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
            return false;
        for (QObject* o = watched; o; o = o->parent()) {
            const int context = o->property("HelpContext").toInt();
            if (context > 0) {
                Application::Guard(o, [context] { HelpViewer::HelpContext(context); });
                return true;
            }
        }
        return false;
    }
};
} // namespace

void HelpViewer::SetApplicationHelpFile(const QString& path)
{
    HelpFilePath() = path;
    static QPointer<ContextHelpKey> filter;
    if (!filter && QCoreApplication::instance()) {
        filter = new ContextHelpKey(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(filter);
    }
}

QString HelpViewer::ApplicationHelpFile()
{
    return HelpFilePath();
}

HelpViewer* HelpViewer::Current()
{
    return Instance().data();
}

bool HelpViewer::Help(const QString& path, THelpCommand command, int context,
                      const QString& keyword)
{
    if (command == hcQuit) {
        if (HelpViewer* viewer = Instance().data()) {
            Instance().clear();
            viewer->close();
            delete viewer;
        }
        return true;
    }
    if (!Instance())
        Instance() = new HelpViewer;
    HelpViewer* viewer = Instance().data();
    const bool loaded = viewer->Load(path);
    if (!loaded && command != hcHelpOnHelp) {
        viewer->hide();
        MessageBox(ProblemText(viewer->m_file), MessageCaption(), MessageIcon::Warning,
                   MessageButtons::Ok);
        return false;
    }
    switch (command) {
    case hcContents: viewer->ShowContents(); break;
    case hcPartialKey: viewer->ShowIndex(keyword); break;
    case hcHelpOnHelp: viewer->ShowHowToUse(); break;
    case hcContext: {
        const HelpTopic* topic = viewer->m_file.TopicForContext(context);
        if (!topic) {
            MessageBox(
                QStringLiteral("The help file has no topic for context number %1.").arg(context),
                MessageCaption(), MessageIcon::Warning, MessageButtons::Ok);
            return false;
        }
        viewer->ShowTopic(topic->id);
        break;
    }
    case hcQuit: break;
    }
    viewer->Present();
    return true;
}

void HelpViewer::BelongToModalWindow()
{
    // A modal window blocks every window but its own: help asked for while one runs (F1 in the
    // print preview) becomes that window's, so that it takes input; afterwards it is free again.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == this)
        modal = nullptr;
    if (parentWidget() == modal)
        return;
    const QRect place = geometry();
    setParent(modal, windowFlags());
    setGeometry(place);
}

HelpViewer::HelpViewer() : QWidget(nullptr, Qt::Window)
{
    InitPlatformResources();
    setObjectName("HelpViewer");
    setAttribute(Qt::WA_QuitOnClose, false); // closing the main window ends the program
    resize(800, 560);

    auto* toolbar = new QToolBar(this);
    toolbar->setObjectName("tbHelp");
    toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto action = [this, toolbar](const char* name, const QString& text,
                                  QStyle::StandardPixmap icon, const QKeySequence& key) {
        QAction* a = toolbar->addAction(text);
        if (icon != QStyle::SP_CustomBase)
            a->setIcon(style()->standardIcon(icon));
        a->setObjectName(name);
        a->setShortcut(key);
        a->setShortcutContext(Qt::WindowShortcut);
        a->setToolTip(key.isEmpty()
                          ? text
                          : QStringLiteral("%1 (%2)").arg(QString(text).remove('&'),
                                                          key.toString(QKeySequence::NativeText)));
        return a;
    };
    m_contentsAction = action("actContents", "&Contents", QStyle::SP_FileDialogListView,
                              QKeySequence(Qt::ALT | Qt::Key_C));
    m_indexAction = action("actIndex", "&Index", QStyle::SP_FileDialogContentsView,
                           QKeySequence(Qt::ALT | Qt::Key_I));
    toolbar->addSeparator();
    m_backAction = action("actBack", "&Back", QStyle::SP_ArrowBack, QKeySequence::Back);
    m_forwardAction =
        action("actForward", "&Forward", QStyle::SP_ArrowForward, QKeySequence::Forward);
    toolbar->addSeparator();
    m_printAction = action("actPrint", "&Print...", QStyle::SP_CustomBase, QKeySequence::Print);
    m_printAction->setIcon(QIcon::fromTheme("document-print", PrinterIcon()));
    m_howToAction = action("actHowToUse", "&How to Use Help", QStyle::SP_DialogHelpButton,
                           QKeySequence(Qt::Key_F1));
    m_backAction->setEnabled(false);
    m_forwardAction->setEnabled(false);

    m_tabs = new QTabWidget;
    m_tabs->setObjectName("tabsHelp");
    m_contents = new QTreeWidget;
    m_contents->setObjectName("treeContents");
    m_contents->setHeaderHidden(true);
    m_contents->setAccessibleName("Contents");
    m_tabs->addTab(m_contents, "Co&ntents");

    auto* indexPage = new QWidget;
    auto* indexLayout = new QVBoxLayout(indexPage);
    auto* prompt = new QLabel("&Type the first letters of the word you are looking for:");
    prompt->setWordWrap(true);
    m_search = new QLineEdit;
    m_search->setObjectName("edtIndexSearch");
    m_search->setClearButtonEnabled(true);
    prompt->setBuddy(m_search);
    m_index = new QListWidget;
    m_index->setObjectName("lstIndex");
    m_index->setAccessibleName("Index");
    m_display = new QPushButton("&Display");
    m_display->setObjectName("btnDisplay");
    indexLayout->addWidget(prompt);
    indexLayout->addWidget(m_search);
    indexLayout->addWidget(m_index, 1);
    indexLayout->addWidget(m_display, 0, Qt::AlignRight);
    m_tabs->addTab(indexPage, "In&dex");

    m_browser = new HelpBrowser;
    m_browser->setObjectName("txtTopic");
    m_browser->setAccessibleName("Topic");

    auto* splitter = new QSplitter;
    splitter->addWidget(m_tabs);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({250, 550});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolbar);
    layout->addWidget(splitter, 1);

    connect(m_contentsAction, &QAction::triggered, this, Guarded(this, [this] { ShowContents(); }));
    connect(m_indexAction, &QAction::triggered, this,
            Guarded(this, [this] { ShowIndex(m_search->text()); }));
    connect(m_backAction, &QAction::triggered, m_browser, &QTextBrowser::backward);
    connect(m_forwardAction, &QAction::triggered, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_backAction, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forwardAction, &QAction::setEnabled);
    connect(m_printAction, &QAction::triggered, this, Guarded(this, [this] { PrintCommand(); }));
    connect(m_howToAction, &QAction::triggered, this, Guarded(this, [this] { ShowHowToUse(); }));
    connect(m_browser, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        Application::Guard(this, [this, url] { m_browser->Open(url); });
    });
    // Every move (a link, the history, a command) changes the history.
    connect(m_browser, &QTextBrowser::historyChanged, this,
            Guarded(this, [this] { PageChanged(); }));
    connect(m_contents, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        Application::Guard(this, [this, item] { OpenContentsItem(item); });
    });
    connect(m_contents, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        Application::Guard(this, [this, item] { OpenContentsItem(item); });
    });
    connect(m_search, &QLineEdit::textEdited, this, [this](const QString& text) {
        Application::Guard(this, [this, text] { FillIndex(text); });
    });
    connect(m_search, &QLineEdit::returnPressed, this, Guarded(this, [this] { OpenIndexEntry(); }));
    connect(m_index, &QListWidget::itemActivated, this,
            Guarded(this, [this] { OpenIndexEntry(); }));
    connect(m_display, &QPushButton::clicked, this, Guarded(this, [this] { OpenIndexEntry(); }));
    m_search->installEventFilter(this);
    // A program that ends without closing its main window closes its help too.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [] { HelpViewer::Help({}, hcQuit); });
}

HelpViewer::~HelpViewer() = default;

bool HelpViewer::Load(const QString& path)
{
    const QFileInfo info(path);
    if (m_file.IsOk() && m_file.Path() == path && info.lastModified() == m_loadedStamp &&
        info.size() == m_loadedSize)
        return true;
    m_file = HelpFile::Load(path);
    m_loadedStamp = info.lastModified();
    m_loadedSize = info.size();
    m_browser->SetHelpFile(&m_file);
    m_browser->clearHistory();
    m_browser->clear();
    setWindowTitle(m_file.IsOk() ? m_file.Title() : QStringLiteral("Help"));
    m_contentsAction->setEnabled(m_file.IsOk());
    m_indexAction->setEnabled(m_file.IsOk());
    m_tabs->setEnabled(m_file.IsOk());
    m_entries = m_file.Index();
    FillContents();
    m_search->clear();
    FillIndex({});
    return m_file.IsOk();
}

void HelpViewer::FillContents()
{
    m_contents->clear();
    QList<QTreeWidgetItem*> parents;
    for (const HelpContentsEntry& entry : m_file.Contents()) {
        auto* item = new QTreeWidgetItem({entry.text});
        const bool book = entry.topicId.isEmpty();
        item->setIcon(0, style()->standardIcon(book ? QStyle::SP_DirIcon : QStyle::SP_FileIcon));
        item->setData(0, topicRole, entry.topicId);
        parents.resize(entry.level);
        if (parents.isEmpty())
            m_contents->addTopLevelItem(item);
        else
            parents.back()->addChild(item);
        parents.append(item);
    }
}

void HelpViewer::FillIndex(const QString& typed)
{
    m_index->clear();
    for (int i : HelpIndex::Matching(m_entries, typed)) {
        const HelpIndexEntry& entry = m_entries[i];
        // A keyword that several topics share names each topic beside it.
        const bool shared =
            (i > 0 && m_entries[i - 1].keyword.compare(entry.keyword, Qt::CaseInsensitive) == 0) ||
            (i + 1 < m_entries.size() &&
             m_entries[i + 1].keyword.compare(entry.keyword, Qt::CaseInsensitive) == 0);
        auto* item = new QListWidgetItem(
            shared ? QStringLiteral("%1 \u2013 %2").arg(entry.keyword, entry.topicTitle)
                   : entry.keyword,
            m_index);
        item->setData(topicRole, entry.topicId);
    }
    if (m_index->count() > 0)
        m_index->setCurrentRow(0);
    m_display->setEnabled(m_index->count() > 0);
}

void HelpViewer::OpenIndexEntry()
{
    if (QListWidgetItem* item = m_index->currentItem())
        ShowTopic(item->data(topicRole).toString());
}

void HelpViewer::OpenContentsItem(QTreeWidgetItem* item)
{
    const QString id = item->data(0, topicRole).toString();
    if (id.isEmpty())
        item->setExpanded(!item->isExpanded());
    else
        ShowTopic(id);
}

bool HelpViewer::ShowTopic(const QString& id)
{
    m_browser->Open(QUrl("topic:" + id));
    return m_file.Topic(id) != nullptr;
}

QString HelpViewer::CurrentPage() const
{
    return m_browser->source().toString();
}

void HelpViewer::ShowContents()
{
    m_tabs->setCurrentIndex(0);
    const QString first = m_file.FirstTopicId();
    if (!first.isEmpty())
        ShowTopic(first);
    m_contents->setFocus();
}

void HelpViewer::ShowIndex(const QString& typed)
{
    m_tabs->setCurrentIndex(1);
    m_search->setText(typed);
    FillIndex(typed);
    m_search->setFocus();
    m_search->selectAll();
    if (m_browser->source().isEmpty() && !m_file.FirstTopicId().isEmpty())
        ShowTopic(m_file.FirstTopicId());
}

void HelpViewer::ShowHowToUse()
{
    m_browser->Open(QUrl(HelpBrowser::HowToUseUrl));
}

void HelpViewer::PageChanged()
{
    // The contents follow the topic shown, without opening anything.
    const QString id = m_browser->source().scheme() == QLatin1String("topic")
                           ? m_browser->source().path()
                           : QString();
    QTreeWidgetItem* match = nullptr;
    for (QTreeWidgetItemIterator it(m_contents); *it && !match; ++it)
        if (!id.isEmpty() && (*it)->data(0, topicRole).toString() == id)
            match = *it;
    QSignalBlocker block(m_contents);
    m_contents->setCurrentItem(match);
    if (match)
        m_contents->scrollToItem(match);
}

void HelpViewer::PrintTopic(QPrinter* printer)
{
    m_browser->document()->print(printer);
}

void HelpViewer::PrintCommand()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>();
    // On the heap: the viewer may be closed for good (the quit command) while the dialog runs,
    // taking the dialog and the printer with it; then nothing is printed.
    auto* dialog = new QPrintDialog(m_printer.get(), this);
    dialog->setWindowTitle("Print Topic");
    const TLoopGuard guard(this);
    const int answer = dialog->exec();
    if (!guard.Alive())
        return;
    delete dialog;
    if (answer == QDialog::Accepted)
        PrintTopic(m_printer.get());
}

void HelpViewer::Present()
{
    BelongToModalWindow();
    if (!m_placed) {
        m_placed = true;
        if (QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
    }
    showNormal();
    raise();
    activateWindow();
}

bool HelpViewer::eventFilter(QObject* watched, QEvent* event)
{
    // Up and down in the search field move through the list, as in the list itself.
    if (watched == m_search && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
            key == Qt::Key_PageDown) {
            QCoreApplication::sendEvent(m_index, event);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
