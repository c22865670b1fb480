#pragma once
// The "Pavonia Html Code" dialog: "&Select" picks an existing page,
// "&Process" publishes the presentation beside it and shows the
// inline-frame element to paste into it, "C&opy" copies that element to the
// clipboard; over HtmlCodeCopy.
//
// Entry point:
//   void runHtmlCodeDialog(QWidget* parent, HtmlCodeCopy& logic, const HtmlCodeDialog::RunLong& runLong);
// shows the dialog modally until "&Close". Publishing runs through
// `runLong`, which the window gives so that it runs off the interface
// thread with progress (without one it runs at once).
#include "publish/HtmlCodeCopy.h"

#include <QDialog>

#include <functional>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace pavonia {

class HtmlCodeDialog : public QDialog {
    Q_OBJECT
public:
    // Runs the work (publishing beside the page named by the text) and
    // returns its result.
    using RunLong = std::function<bool(const std::string& page, const std::function<bool()>& work)>;

    HtmlCodeDialog(HtmlCodeCopy& logic, RunLong runLong, QWidget* parent = nullptr);

    // The three buttons, as pressing them does.
    void select();
    void process();
    void copyCode();

private:
    void showState();

    HtmlCodeCopy& logic_;
    RunLong runLong_;
    QPushButton* select_ = nullptr;
    QLineEdit* folder_ = nullptr;
    QPushButton* process_ = nullptr;
    QPlainTextEdit* code_ = nullptr;
    QPushButton* copy_ = nullptr;
};

void runHtmlCodeDialog(QWidget* parent, HtmlCodeCopy& logic, const HtmlCodeDialog::RunLong& runLong);

} // namespace pavonia
