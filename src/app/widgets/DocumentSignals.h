#pragma once
// The document's observer in Qt's terms: each change becomes a signal, which
// reaches the window on its own thread also when a load or save runs on a
// worker thread.
#include "project/ProjectDocument.h"

#include <QObject>
#include <QString>

namespace pavonia {

class DocumentSignals final : public QObject, public DocumentObserver {
    Q_OBJECT
public:
    explicit DocumentSignals(ProjectDocument& document, QObject* parent = nullptr);
    ~DocumentSignals() override;

signals:
    void dirtyChangedSignal(bool dirty);
    void busyChangedSignal(bool busy);
    void commandFlagsChangedSignal();
    void titleChangedSignal(const QString& title);

private:
    void dirtyChanged(bool dirty) override { emit dirtyChangedSignal(dirty); }
    void busyChanged(bool busy) override { emit busyChangedSignal(busy); }
    void commandFlagsChanged() override { emit commandFlagsChangedSignal(); }
    void titleChanged(const std::string& title) override { emit titleChangedSignal(QString::fromStdString(title)); }

    ProjectDocument& document_;
};

} // namespace pavonia
