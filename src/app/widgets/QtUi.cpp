#include "app/widgets/QtUi.h"

#include "pages/widgets/PictureDialog.h"
#include "templates/widgets/BackgroundPictureDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>
#include <QThread>

namespace pavonia {

namespace {

QString toQt(const std::string& text)
{
    return QString::fromStdString(text);
}

// The filter entry shown first, counted from 1 as the Ui counts it.
QString nthFilter(const QString& filters, int index)
{
    const QStringList list = filters.split(";;");
    return index >= 1 && index <= list.size() ? list[index - 1] : QString();
}

void applyCommon(QFileDialog& dialog, const FileDialogOptions& options)
{
    const QString filters = QtUi::qtFilter(options.filter);
    dialog.setNameFilters(filters.split(";;", Qt::SkipEmptyParts));
    if (const QString first = nthFilter(filters, options.initialFilter); !first.isEmpty())
        dialog.selectNameFilter(first);
    if (!options.defaultExtension.empty())
        dialog.setDefaultSuffix(toQt(options.defaultExtension));
    if (!options.startFolder.empty())
        dialog.setDirectory(toQt(options.startFolder));
    if (!options.fileName.empty())
        dialog.selectFile(toQt(options.fileName));
    if (!options.title.empty())
        dialog.setWindowTitle(toQt(options.title));
}

// Runs `work` on the user-interface thread: the document may call its Ui
// from the thread that loads or saves a project.
template <typename Work>
auto onUiThread(Work work) -> decltype(work())
{
    if (!qApp || QThread::currentThread() == qApp->thread())
        return work();
    if constexpr (std::is_void_v<decltype(work())>) {
        QMetaObject::invokeMethod(qApp, work, Qt::BlockingQueuedConnection);
    } else {
        decltype(work()) result{};
        QMetaObject::invokeMethod(qApp, [&] { result = work(); }, Qt::BlockingQueuedConnection);
        return result;
    }
}

} // namespace

QtUi::NormalCursor::NormalCursor() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
QtUi::NormalCursor::~NormalCursor() { QApplication::restoreOverrideCursor(); }

QString QtUi::qtFilter(const std::string& filter)
{
    // The description keeps its own "(*.a;*.b)" out: Qt shows the patterns
    // after it once.
    return qtFileFilters(filter).join(";;");
}

Answer QtUi::messageBox(const std::string& text, const std::string& caption, Buttons buttons)
{
    return onUiThread([&]() -> Answer {
        QMessageBox::StandardButtons shown;
        switch (buttons) {
        case Buttons::Ok:
            shown = QMessageBox::Ok;
            break;
        case Buttons::OkCancel:
            shown = QMessageBox::Ok | QMessageBox::Cancel;
            break;
        case Buttons::YesNo:
            shown = QMessageBox::Yes | QMessageBox::No;
            break;
        case Buttons::YesNoCancel:
            shown = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
            break;
        }
        const QMessageBox::Icon icon = buttons == Buttons::Ok ? QMessageBox::Information : QMessageBox::Question;
        QMessageBox box(icon, toQt(caption), toQt(text), shown, parent_);
        // A message box must not appear under a wait cursor.
        const NormalCursor cursor;
        const int pressed = box.exec();
        switch (pressed) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
        }
    });
}

std::optional<std::vector<std::string>> QtUi::openFileDialog(const FileDialogOptions& options)
{
    return onUiThread([&]() -> std::optional<std::vector<std::string>> {
        const NormalCursor cursor;
        if (options.picturePreview)
            return runPictureFilesDialog(parent_, options);
        QFileDialog dialog(parent_);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(options.multiple ? QFileDialog::ExistingFiles
                                            : (options.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile));
        applyCommon(dialog, options);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        std::vector<std::string> paths;
        for (const QString& file : dialog.selectedFiles())
            paths.push_back(file.toStdString());
        if (paths.empty())
            return std::nullopt;
        return paths;
    });
}

std::optional<std::string> QtUi::saveFileDialog(const FileDialogOptions& options)
{
    return onUiThread([&]() -> std::optional<std::string> {
        QFileDialog dialog(parent_);
        const NormalCursor cursor;
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.overwritePrompt);
        applyCommon(dialog, options);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().front().toStdString();
    });
}

void QtUi::setBusyCursor(bool busy)
{
    return onUiThread([&] {
        if (busy) {
            if (busyDepth_++ == 0)
                QApplication::setOverrideCursor(Qt::WaitCursor);
        } else if (busyDepth_ > 0 && --busyDepth_ == 0) {
            QApplication::restoreOverrideCursor();
        }
    });
}

} // namespace pavonia
