// The main window's commands: what each command of the table does when the
// window itself answers it, and the long work of loading and saving.
#include "app/widgets/MainWindow.h"
#include "app/widgets/LongWork.h"
#include "app/widgets/PageHost.h"
#include "app/widgets/ProjectTreeModel.h"
#include "platform/StringTable.h"
#include "platform/Text.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTreeView>

#include <filesystem>
#include <fstream>

namespace pavonia {

namespace {

QString text(int id)
{
    return QString::fromStdString(StringTable::text(id));
}

// The address of a web link file: its "URL=" line.
std::string linkAddress(const std::string& linkFile)
{
    std::ifstream in(linkFile);
    std::string line;
    while (std::getline(in, line)) {
        line = trimmed(line);
        if (line.size() > 4 && equalsIgnoreCase(line.substr(0, 4), "URL="))
            return line.substr(4);
    }
    return {};
}

} // namespace

void MainWindow::installDefaultHandlers()
{
    using C = Command;
    TreeOperations& operations = session_.operations();
    auto busy = [this](auto work) {
        return [this, work] {
            BusyCursor cursor(session_.ui());
            work();
        };
    };
    handlers_[index(C::NewProject)] = [this] { projectCommands_.NewProject(); };
    handlers_[index(C::OpenProject)] = [this] { projectCommands_.OpenProject(); };
    handlers_[index(C::SaveProject)] = [this] { projectCommands_.Save(); };
    handlers_[index(C::SaveAs)] = [this] { projectCommands_.SaveAs(); };
    handlers_[index(C::Exit)] = [this] { close(); };
    handlers_[index(C::MoveUp)] = busy([&operations] { operations.MoveItemUp(); });
    handlers_[index(C::MoveDown)] = busy([&operations] { operations.MoveItemDown(); });
    handlers_[index(C::Add)] = [&operations] { operations.AddItem(); };
    handlers_[index(C::Delete)] = [&operations] { operations.DeleteItem(true); };
    handlers_[index(C::Rename)] = [this] { startRename(); };
    handlers_[index(C::ProjectStyle)] = [this] {
        session_.operations().selectionChanged(&document().tree().root());
    };
    handlers_[index(C::SlideInfo)] = [this] { showInformation(); };
    handlers_[index(C::HelpContent)] = [this] { openHelp("Introduction.htm"); };
    handlers_[index(C::GettingStarted)] = [this] { openHelp("Getting_Started.htm"); };
    // The update check is not offered (its menu item is removed).
    handlers_[index(C::CheckForUpdates)] = [] {};
    handlers_[index(C::MakerWebLink)] = [this] { openWebLink("nimbari.url"); };
    handlers_[index(C::ProductWebLink)] = [this] { openWebLink("pavonia.url"); };
    handlers_[index(C::About)] = [this] {
        QMessageBox::about(this, text(str::AppTitle),
                           QString::fromStdString(StringTable::format(
                               str::AboutText, {StringTable::text(str::ProductName),
                                                StringTable::text(str::ProductVersion),
                                                StringTable::text(str::MakerName)})));
    };
    handlers_[index(C::SelectAll)] = [this] { selectAll(); };
}

void MainWindow::setCommandHandler(Command command, std::function<void()> handler)
{
    handlers_[index(command)] = std::move(handler);
}

void MainWindow::run(Command command)
{
    if (loading_)
        return;
    updateCommands();
    if (!pavonia::isEnabled(command, commandInputs()))
        return;
    if (commandEntry(command).stopsPlayback && stopPlayback_)
        stopPlayback_();
    if (const std::function<void()>& handler = handlers_[index(command)])
        handler();
    else
        commandNotReady();
    scheduleCommandUpdate();
}

void MainWindow::commandNotReady()
{
    session_.document().message(StringTable::text(str::CommandNotReady));
}

// ---------------------------------------------------------------------------
// Tree commands

void MainWindow::startRename()
{
    TreeItem* target = session_.operations().beginRename();
    if (!target)
        return;
    const QModelIndex at = treeModel_->indexOf(target);
    treeView_->setFocus();
    treeView_->scrollTo(at);
    treeView_->edit(at);
}

bool MainWindow::moveStep(TreeItem& item, bool up)
{
    ProjectTree& tree = document().tree();
    const TreeItem* parentBefore = item.parent();
    const std::size_t rowBefore = item.row();
    if (stopPlayback_)
        stopPlayback_();
    tree.setPendingItem(&item);
    {
        BusyCursor cursor(session_.ui());
        if (up)
            session_.operations().MoveItemUp();
        else
            session_.operations().MoveItemDown();
    }
    tree.setPendingItem(nullptr);
    scheduleCommandUpdate();
    return tree.contains(&item) && (item.parent() != parentBefore || item.row() != rowBefore);
}

void MainWindow::showInformation()
{
    // The tree keeps its selection; a click on it shows that item again.
    session_.operations().computeFlags(nullptr);
    document().selectedKind = SelectedKind::Information;
    refreshViews();
}

void MainWindow::selectAll()
{
    QWidget* focus = QApplication::focusWidget();
    if (auto* line = qobject_cast<QLineEdit*>(focus)) {
        line->selectAll();
        line->end(true);
        line->home(true);
    } else if (auto* edit = qobject_cast<QTextEdit*>(focus)) {
        edit->selectAll();
        edit->ensureCursorVisible();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(focus)) {
        plain->selectAll();
        plain->ensureCursorVisible();
    }
}

// ---------------------------------------------------------------------------
// Help and web links

void MainWindow::openHelp(const char* page)
{
    const std::string path = document().installationFolder() + "Help/" + page;
    if (!std::filesystem::is_regular_file(path) || !shell_.open(path))
        document().message(StringTable::format(str::HelpPageMissing, {path}));
}

void MainWindow::openWebLink(const char* fileName)
{
    const std::string path = document().installationFolder() + fileName;
    const std::string address = linkAddress(path);
    if (address.empty() || !shell_.open(address))
        document().message(StringTable::format(str::LinkFileMissing, {path}));
}

// ---------------------------------------------------------------------------
// Project commands

bool MainWindow::openProjectFile(const std::string& path)
{
    if (loading_ || !mayLeavePage())
        return false;
    if (stopPlayback_)
        stopPlayback_();
    const bool opened = projectCommands_.OpenProjectFile(path);
    scheduleCommandUpdate();
    return opened;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (loading_ || !mayLeavePage() || !projectCommands_.canClose()) {
        event->ignore();
        return;
    }
    event->accept();
}

bool MainWindow::runLong(bool saving, const std::string& path, const std::function<bool()>& work)
{
    // Loading rebuilds the tree on the worker thread: the view lets go of
    // the tree until the load is done. Saving only reads it.
    loading_ = true;
    if (!saving)
        treeModel_->suspend();
    LongWorkOptions options;
    options.stage = StringTable::format(saving ? str::SavingProject : str::OpeningProject, {finalComponent(path)});
    const bool result = runLongWork(this, session_.ui(), options, [&](WorkProgress&) { return work(); });

    if (!saving) {
        treeModel_->resume();
        treeView_->expandAll();
        followTreeSelection(treeModel_->indexOf(document().tree().selected()));
    }
    loading_ = false;
    updateCommands();
    return result;
}

bool MainWindow::runInBackground(const LongWorkOptions& options, const std::function<bool(WorkProgress&)>& work)
{
    const bool wasLoading = loading_;
    loading_ = true;
    const bool result = runLongWork(this, session_.ui(), options, work);
    loading_ = wasLoading;
    updateCommands();
    return result;
}

} // namespace pavonia
