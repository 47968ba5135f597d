// How the quick-pick window asks a main window open on the same library to show a
// sample (Shift+Enter): a local socket whose name comes from the library folder's path,
// in the user's own runtime folder. The main window listens; the pick window sends the
// sample's title and waits for the answer. With no window listening, the pick window
// starts one (tindrel FOLDER --show TITLE).
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string>

class QLocalServer;

// The socket's full name for a library folder (an absolute path).
QString ShowChannelName(const std::string& folder);

class CShowServer : public QObject {
    Q_OBJECT
public:
    // show: shows the sample of that title (the title's bytes), or has it shown soon (the
    // asking process waits only for the answer); false when there is none.
    explicit CShowServer(std::function<bool(const std::string& title)> show, QObject* parent = nullptr);
    ~CShowServer() override;
    // Listens for requests about the library in folder. False when another window listens
    // already (or the socket cannot be made): that one answers.
    bool Listen(const std::string& folder);

private:
    void OnConnection();

    std::function<bool(const std::string&)> m_show;
    QLocalServer* m_server = nullptr;
};

enum class ShowAnswer { Shown, NotFound, NoWindow };

// Asks the window listening for folder to show the sample titled title; waits up to
// timeoutMs for its answer.
ShowAnswer AskWindowToShow(const std::string& folder, const std::string& title, int timeoutMs = 3000);
