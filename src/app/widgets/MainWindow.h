#pragma once
// The main window: menus, the flat tool bar, the heading bar, the status bar
// and the split between the project tree and the editing form. Every command
// comes from the one command table (app/CommandTable.h): its ids, texts,
// keys, tool bar labels and enabling rules; this window only turns a command
// into a call on the document, the tree, a page or a handler.
//
// Commands whose dialogs or pages live elsewhere are routed to handlers set
// with setCommandHandler(); installPages() (MainWindowPages.cpp) is the one
// place where the editing pages and those handlers are put in.
#include "app/CommandTable.h"
#include "app/HeadingField.h"
#include "app/ProjectCommands.h"
#include "app/ProjectSession.h"
#include "app/widgets/LongWork.h"
#include "platform/Shell.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QSplitter;
class QToolBar;
class QTreeView;

namespace pavonia {

class DocumentSignals;
class LockKeyIndicators;
class PageHost;
class ProjectTreeModel;

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 620;
    static constexpr int kTreeWidth = 150;

    MainWindow(ProjectSession& session, Shell& shell, QWidget* parent = nullptr);
    ~MainWindow() override;

    ProjectSession& session() { return session_; }
    ProjectDocument& document() { return session_.document(); }
    ProjectCommands& projectCommands() { return projectCommands_; }
    PageHost& pages() { return *pages_; }
    QTreeView& treeView() { return *treeView_; }
    ProjectTreeModel& treeModel() { return *treeModel_; }
    QLineEdit& headingEdit() { return *headingEdit_; }

    // The action of a command (shared by its menu item, tool bar button and
    // context menu item).
    QAction* action(Command command) const { return actions_[index(command)]; }
    // Runs a command as its menu item does: stops playback where the table
    // says so, then does its work. Disabled commands do nothing.
    void run(Command command);
    // Routes `command` to `handler` (for commands whose work lives in a page
    // or dialog of another subsystem); replaces the window's own handling.
    void setCommandHandler(Command command, std::function<void()> handler);
    // Stops voice playback of the slide voice page (set by that page).
    void setStopPlayback(std::function<void()> stop) { stopPlayback_ = std::move(stop); }
    // Stops any voice playback; from the interface thread only.
    void stopPlayback()
    {
        if (stopPlayback_)
            stopPlayback_();
    }
    // Opens pages and addresses in the desktop's programs.
    Shell& shell() { return shell_; }
    // Runs `work` on a worker thread under a progress dialog (see LongWork.h);
    // the window runs no command and does not close until it is done.
    bool runInBackground(const LongWorkOptions& options, const std::function<bool(WorkProgress&)>& work);
    // Asked before the shown page is left or the project closed (set by the
    // slide voice page, which asks about an unapplied recording); false
    // keeps the page.
    void setLeavePage(std::function<bool()> leave) { leavePage_ = std::move(leave); }

    // Recomputes every command's enabled state from the document's flags,
    // the tree's selection and the layout (soon after any change).
    void updateCommands();
    // The inputs of the enabling rules as they stand.
    CommandInputs commandInputs() const;
    // Shows the page of the document's page mode, and fills the heading
    // field from the project.
    void refreshViews();

    // Opens `path` as the project (command line, a second instance).
    bool openProjectFile(const std::string& path);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static std::size_t index(Command command) { return static_cast<std::size_t>(command); }

    void buildActions();
    void buildMenus();
    void buildToolBar();
    void buildHeadingBar();
    void buildStatusBar();
    void buildSplit();
    void installPages();
    void installDefaultHandlers();
    void pruneMenus();
    void scheduleCommandUpdate();
    void followTreeSelection(const QModelIndex& index);
    void treeCurrentChanged(const QModelIndex& current);
    void showContextMenu(TreeItem* item, const QPoint& globalPos);
    void startRename();
    bool moveStep(TreeItem& item, bool up);
    void selectAll();
    void showInformation();
    void openHelp(const char* page);
    void openWebLink(const char* fileName);
    void commandNotReady();
    bool runLong(bool saving, const std::string& path, const std::function<bool()>& work);
    bool mayLeavePage() { return !leavePage_ || leavePage_(); }

    ProjectSession& session_;
    Shell& shell_;
    ProjectCommands projectCommands_;
    HeadingField heading_;
    std::array<QAction*, kCommandCount> actions_{};
    std::array<std::function<void()>, kCommandCount> handlers_;
    std::function<void()> stopPlayback_;
    std::function<bool()> leavePage_;
    // Tells the pages that New or Open replaced the project (set by installPages).
    std::function<void()> projectOpened_;
    std::unique_ptr<DocumentSignals> documentSignals_;
    QToolBar* toolBar_ = nullptr;
    QToolBar* headingBar_ = nullptr;
    QLineEdit* headingEdit_ = nullptr;
    QLabel* messagePane_ = nullptr;
    LockKeyIndicators* lockKeys_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QTreeView* treeView_ = nullptr;
    ProjectTreeModel* treeModel_ = nullptr;
    PageHost* pages_ = nullptr;
    QMenu* contextMenu_ = nullptr;
    bool updatePending_ = false;
    bool followingTree_ = false;
    bool loading_ = false;
};

} // namespace pavonia
