#pragma once
// One instance of the program per user and installation. The first instance
// listens on a local socket whose name is made from the application
// identifier, the user and the installation folder; a later start finds it
// there and hands its request over instead of opening a window of its own.
//
// On the socket a request travels as the data-copy message it stands for:
// the numeric tag and the data length (32-bit little-endian each), then the
// data (see OpenRequest.h). The answer is the open result, a 32-bit
// little-endian 1 or 0, sent once the first instance has dealt with it.
#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QPointer>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QLocalSocket;

namespace pavonia {

// The socket name for `installationFolder` and the user `userId`.
QString instanceServerName(const std::string& installationFolder, unsigned userId);
// The same for the user running this process.
QString instanceServerName(const std::string& installationFolder);

class InstanceServer : public QObject {
public:
    // Deals with one request: an empty path asks only to bring the window
    // to the front. Returns the open result.
    using Handler = std::function<bool(const std::string& path)>;

    explicit InstanceServer(QString name, QObject* parent = nullptr);
    ~InstanceServer() override;

    // Becomes the first instance: true once listening, false when another
    // instance answers on the name. Two starts at once are put in turn by a
    // lock file, so exactly one of them listens; a socket left by a process
    // that died is taken over.
    bool claim();
    bool listening() const { return server_.isListening(); }

    // Requests that arrive before a handler is set wait for it; requests
    // that arrive while one is being dealt with wait their turn.
    void setHandler(Handler handler);

private:
    void accept();
    void readFrom(QLocalSocket* socket);
    void serveNext();

    QString name_;
    QLocalServer server_;
    Handler handler_;
    std::deque<QPointer<QLocalSocket>> ready_;
    bool serving_ = false;
};

// Sends `path` to the instance listening on `name` and waits for its answer.
// Nothing when no instance answers; otherwise the open result.
std::optional<bool> sendOpenRequest(const QString& name, const std::string& path);

} // namespace pavonia
