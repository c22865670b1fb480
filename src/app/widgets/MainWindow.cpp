#include "app/widgets/MainWindow.h"
#include "app/ExternalEditors.h"
#include "app/widgets/DocumentSignals.h"
#include "app/widgets/LockKeyIndicators.h"
#include "app/widgets/PageHost.h"
#include "app/widgets/ProjectTreeModel.h"
#include "platform/StringTable.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

#include <filesystem>

namespace pavonia {

namespace {

QString text(int id)
{
    return QString::fromStdString(StringTable::text(id));
}

// The menus and their commands, in order; nothing stands for a separator.
struct MenuLayout {
    int title;
    std::vector<std::optional<Command>> commands;
};

const std::vector<MenuLayout>& menuLayout()
{
    using C = Command;
    static const std::vector<MenuLayout> layout = {
        {str::MenuFile,
         {C::NewProject, C::OpenProject, C::SaveProject, C::SaveAs, std::nullopt, C::ImportMedia, C::ImportWave,
          C::ImportTalkingImage, C::ImportTalkingMessage, std::nullopt, C::ExportHtml, C::HtmlCodeCopy, std::nullopt,
          C::Exit}},
        {str::MenuEdit, {C::MoveUp, C::MoveDown, std::nullopt, C::Add, C::Delete}},
        {str::MenuView, {C::ProjectStyle, C::SlideInfo, std::nullopt, C::SlidePreview}},
        {str::MenuSettings,
         {C::ProjectSettings, C::CustomSettings, std::nullopt, C::SelectImageStyle, C::SelectLayout, std::nullopt,
          C::Preferences}},
        {str::MenuHelp,
         {C::HelpContent, C::GettingStarted, std::nullopt, C::CheckForUpdates, std::nullopt, C::MakerWebLink,
          C::ProductWebLink, std::nullopt, C::About}},
    };
    return layout;
}

// The picture of a command's tool bar button and of the tree's levels,
// drawn at build time into the installation's "Icons" folder (with "@2x"
// versions for high-density screens).
const char* iconName(Command command)
{
    switch (command) {
    case Command::NewProject:
        return "new";
    case Command::OpenProject:
        return "open";
    case Command::SaveProject:
        return "save";
    case Command::ImportMedia:
        return "import";
    case Command::MoveUp:
        return "up";
    case Command::MoveDown:
        return "down";
    case Command::Add:
        return "add";
    case Command::Delete:
        return "delete";
    case Command::SlidePreview:
        return "preview";
    case Command::ExportHtml:
        return "export";
    case Command::ProjectStyle:
        return "project";
    case Command::SlideInfo:
        return "info";
    default:
        return nullptr;
    }
}

} // namespace

MainWindow::MainWindow(ProjectSession& session, Shell& shell, QWidget* parent)
    : QMainWindow(parent),
      session_(session),
      shell_(shell),
      projectCommands_(session.document(), session.operations(), session.library(), session.layers()),
      heading_(session.document()),
      documentSignals_(std::make_unique<DocumentSignals>(session.document()))
{
    setObjectName("PavoniaClass");
    setWindowTitle(QString::fromStdString(document().windowTitle()));
    buildActions();
    buildMenus();
    buildToolBar();
    buildHeadingBar();
    buildStatusBar();
    buildSplit();
    installDefaultHandlers();
    installPages();
    pruneMenus();

    connect(documentSignals_.get(), &DocumentSignals::titleChangedSignal, this, &QWidget::setWindowTitle);
    connect(documentSignals_.get(), &DocumentSignals::commandFlagsChangedSignal, this,
            &MainWindow::scheduleCommandUpdate);
    connect(documentSignals_.get(), &DocumentSignals::dirtyChangedSignal, this, &MainWindow::scheduleCommandUpdate);

    ProjectCommands::Hooks& hooks = projectCommands_.hooks();
    hooks.stopPlayback = [this] {
        if (stopPlayback_)
            stopPlayback_();
    };
    hooks.runLong = [this](bool saving, const std::string& path, const std::function<bool()>& work) {
        return runLong(saving, path, work);
    };
    hooks.projectReplaced = [this] {
        if (projectOpened_)
            projectOpened_();
        refreshViews();
        treeView_->expandAll();
    };
    session_.operations().setRefreshPane([this] {
        pages_->showPage(document().selectedKind);
        scheduleCommandUpdate();
    });

    setMinimumSize(kWidth, kHeight);
    resize(kWidth, kHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(kWidth / 2, kHeight / 2));
    }
    // The first notification of the heading field comes from filling it.
    heading_.changed(heading_.text());
    headingEdit_->setText(QString::fromStdString(heading_.text()));
    pages_->showPage(document().selectedKind);
    updateCommands();
}

MainWindow::~MainWindow()
{
    // The tree outlives the window: its observer goes with the model.
    treeView_->setModel(nullptr);
}

// ---------------------------------------------------------------------------
// Building the window

void MainWindow::buildActions()
{
    const std::string icons = session_.document().installationFolder() + "Icons/";
    for (const CommandEntry& entry : commandTable()) {
        auto* action = new QAction(entry.menuText ? text(entry.menuText) : QString(), this);
        action->setObjectName(QString("command%1").arg(entry.ids[0]));
        action->setData(entry.ids[0]);
        if (*entry.keys)
            action->setShortcut(QKeySequence(QString::fromLatin1(entry.keys), QKeySequence::PortableText));
        if (entry.toolText)
            action->setIconText(text(entry.toolText));
        if (const char* name = iconName(entry.command)) {
            const QString file = QString::fromStdString(icons) + name + ".png";
            if (QFile::exists(file))
                action->setIcon(QIcon(file));
        }
        const Command command = entry.command;
        connect(action, &QAction::triggered, this, [this, command] { run(command); });
        actions_[index(command)] = action;
        addAction(action);
    }
    // Rename's F2 acts in the tree only; Ctrl+A reaches every edit field.
    action(Command::Rename)->setShortcutContext(Qt::WidgetShortcut);
    action(Command::SelectAll)->setShortcutContext(Qt::ApplicationShortcut);
}

void MainWindow::buildMenus()
{
    for (const MenuLayout& layout : menuLayout()) {
        QMenu* menu = menuBar()->addMenu(text(layout.title));
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::updateCommands);
        for (const std::optional<Command>& command : layout.commands) {
            if (command)
                menu->addAction(action(*command));
            else
                menu->addSeparator();
        }
    }
    contextMenu_ = new QMenu(this);
    contextMenu_->setObjectName("treeContextMenu");
    for (const std::optional<Command>& command : contextMenuCommands()) {
        if (command)
            contextMenu_->addAction(action(*command));
        else
            contextMenu_->addSeparator();
    }
}

void MainWindow::buildToolBar()
{
    toolBar_ = addToolBar(text(str::ToolBarTitle));
    toolBar_->setObjectName("toolBar");
    toolBar_->setMovable(false);
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolBar_->setIconSize(QSize(24, 24));
    for (Command command : toolBarCommands())
        toolBar_->addAction(action(command));
}

void MainWindow::buildHeadingBar()
{
    addToolBarBreak();
    headingBar_ = addToolBar(text(str::HeadingBarTitle));
    headingBar_->setObjectName("headingBar");
    headingBar_->setMovable(false);
    auto* label = new QLabel(text(str::HeadingTextLabel));
    label->setContentsMargins(6, 0, 6, 0);
    headingEdit_ = new QLineEdit;
    headingEdit_->setObjectName("headingEdit");
    headingEdit_->setMaxLength(HeadingField::kMaxLength);
    label->setBuddy(headingEdit_);
    headingBar_->addWidget(label);
    headingBar_->addWidget(headingEdit_);
    connect(headingEdit_, &QLineEdit::textChanged, this,
            [this](const QString& value) { heading_.changed(value.toStdString()); });
}

void MainWindow::buildStatusBar()
{
    messagePane_ = new QLabel(text(str::StatusReady));
    messagePane_->setObjectName("messagePane");
    statusBar()->addWidget(messagePane_, 1);
    lockKeys_ = new LockKeyIndicators;
    statusBar()->addPermanentWidget(lockKeys_);
}

void MainWindow::buildSplit()
{
    splitter_ = new QSplitter(Qt::Horizontal);
    splitter_->setObjectName("split");
    treeModel_ = new ProjectTreeModel(document().tree(), session_.operations(), this);
    const std::string icons = document().installationFolder() + "Icons/";
    auto levelIcon = [&](const char* normal, const char* selected) {
        QIcon icon;
        icon.addFile(QString::fromStdString(icons + normal + ".png"), {}, QIcon::Normal);
        icon.addFile(QString::fromStdString(icons + selected + ".png"), {}, QIcon::Selected);
        return icon;
    };
    treeModel_->setIcons(levelIcon("tree-project", "tree-project-selected"),
                         levelIcon("tree-session", "tree-session-selected"),
                         levelIcon("tree-slide", "tree-slide-selected"));
    treeModel_->setMoveStep([this](TreeItem& item, bool up) { return moveStep(item, up); });

    treeView_ = new QTreeView;
    treeView_->setObjectName("projectTree");
    treeView_->setModel(treeModel_);
    treeView_->setHeaderHidden(true);
    treeView_->setRootIsDecorated(true);
    treeView_->setSelectionMode(QAbstractItemView::SingleSelection);
    treeView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    treeView_->setDragDropMode(QAbstractItemView::InternalMove);
    treeView_->setDefaultDropAction(Qt::MoveAction);
    treeView_->setContextMenuPolicy(Qt::CustomContextMenu);
    treeView_->setIconSize(QSize(16, 16));
    treeView_->addAction(action(Command::Rename));
    // 0x779CA0 in the 0x00BBGGRR order: red 0xA0, green 0x9C, blue 0x77.
    QPalette palette = treeView_->palette();
    palette.setColor(QPalette::Base, QColor(0xA0, 0x9C, 0x77));
    treeView_->setPalette(palette);
    treeView_->installEventFilter(this);
    treeView_->viewport()->installEventFilter(this);
    treeView_->expandAll();
    connect(treeModel_, &ProjectTreeModel::treeSelectionChanged, this, &MainWindow::followTreeSelection);
    connect(treeView_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { treeCurrentChanged(current); });
    connect(treeView_, &QTreeView::clicked, this, [this](const QModelIndex& at) {
        if (treeModel_->itemAt(at) == document().tree().selected()) {
            session_.operations().selectionClicked();
            scheduleCommandUpdate();
        }
    });
    connect(treeView_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (TreeItem* item = treeModel_->itemAt(treeView_->indexAt(at)))
            showContextMenu(item, treeView_->viewport()->mapToGlobal(at));
    });
    connect(treeModel_, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex& parent) { treeView_->expand(parent); });

    pages_ = new PageHost;
    splitter_->addWidget(treeView_);
    splitter_->addWidget(pages_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({kTreeWidth, kWidth - kTreeWidth});
    setCentralWidget(splitter_);
    followTreeSelection(treeModel_->indexOf(document().tree().selected()));
}

void MainWindow::pruneMenus()
{
    // No update check is offered by this program; the Import Talking
    // Message item needs the sibling product's editors.
    const std::string updateLink = document().installationFolder() + "checkforupdate.url";
    const bool updateCheckAvailable = false;
    if (!updateCheckAvailable || !std::filesystem::exists(updateLink))
        action(Command::CheckForUpdates)->setVisible(false);
    if (!ExternalEditors(session_.registry()).available())
        action(Command::ImportTalkingMessage)->setVisible(false);
}

// ---------------------------------------------------------------------------
// Command state

CommandInputs MainWindow::commandInputs() const
{
    return gatherCommandInputs(session_.document(), session_.operations(), session_.layers());
}

void MainWindow::scheduleCommandUpdate()
{
    if (updatePending_)
        return;
    updatePending_ = true;
    QTimer::singleShot(0, this, [this] { updateCommands(); });
}

void MainWindow::updateCommands()
{
    updatePending_ = false;
    if (loading_)
        return;
    const std::array<bool, kCommandCount> enabled = enabledCommands(commandInputs());
    for (std::size_t i = 0; i < kCommandCount; ++i)
        actions_[i]->setEnabled(enabled[i]);
    // The heading field goes with the Information command; the tree with
    // editing.
    headingEdit_->setEnabled(enabled[index(Command::SlideInfo)]);
    treeView_->setEnabled(document().editingAllowed());
}

void MainWindow::refreshViews()
{
    const QSignalBlocker block(headingEdit_);
    headingEdit_->setText(QString::fromStdString(heading_.text()));
    pages_->showPage(document().selectedKind);
    scheduleCommandUpdate();
}

// ---------------------------------------------------------------------------
// Following the tree

void MainWindow::followTreeSelection(const QModelIndex& index)
{
    if (followingTree_)
        return;
    followingTree_ = true;
    if (index.isValid())
        treeView_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    else
        treeView_->selectionModel()->clearSelection();
    followingTree_ = false;
    scheduleCommandUpdate();
}

void MainWindow::treeCurrentChanged(const QModelIndex& current)
{
    if (followingTree_)
        return;
    TreeItem* item = treeModel_->itemAt(current);
    if (item != document().tree().selected() && !mayLeavePage()) {
        // The page stays: the tree goes back to the item it shows.
        QTimer::singleShot(0, this, [this] { followTreeSelection(treeModel_->indexOf(document().tree().selected())); });
        return;
    }
    followingTree_ = true;
    session_.operations().selectionChanged(item);
    followingTree_ = false;
    scheduleCommandUpdate();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // A right-click opens the item's menu without moving the selection.
    if (watched == treeView_->viewport() &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease ||
         event->type() == QEvent::MouseButtonDblClick) &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
        return true;
    if (watched == treeView_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const TreeItem* selected = document().tree().selected();
        if ((key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier) || key->key() == Qt::Key_Menu) {
            if (selected) {
                const QRect label = treeView_->visualRect(treeModel_->indexOf(selected));
                showContextMenu(const_cast<TreeItem*>(selected), treeView_->viewport()->mapToGlobal(label.topRight()));
            }
            return true;
        }
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            session_.operations().computeFlags(document().tree().selected());
            updateCommands();
            return true;
        }
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
            run(Command::Delete);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showContextMenu(TreeItem* item, const QPoint& globalPos)
{
    ProjectTree& tree = document().tree();
    if (QWidget* editor = treeView_->indexWidget(treeView_->currentIndex()))
        editor->clearFocus();
    treeModel_->setHighlighted(item);
    tree.setPendingItem(item);
    session_.operations().computeFlags(item);
    updateCommands();
    contextMenu_->exec(globalPos);
    treeModel_->setHighlighted(nullptr);
    // A menu closed without a command leaves no pending item behind for a
    // later command from the menu bar or tool bar.
    if (tree.contains(item) && tree.pendingItem() == item)
        tree.setPendingItem(nullptr);
    session_.operations().computeFlags(tree.selected());
    scheduleCommandUpdate();
}

} // namespace pavonia
