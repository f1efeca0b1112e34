#include "HelpViewer.h"

#include <QDialog>
#include <QFile>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr char kWindowName[] = "HelpWindow";

QString pageOf(int topic) { return QStringLiteral(":/help/%1.html").arg(topic); }

QDialog* helpWindowOf(QWidget* owner) {
    if (owner) {
        if (auto* existing = owner->findChild<QDialog*>(kWindowName))
            return existing;
    }
    auto* window = new QDialog(owner, Qt::Window);
    window->setObjectName(kWindowName);
    window->setAttribute(Qt::WA_DeleteOnClose, owner == nullptr);
    window->resize(640, 560);
    auto* browser = new QTextBrowser(window);
    browser->setObjectName("HelpPage");
    browser->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser);
    QObject::connect(browser, &QTextBrowser::sourceChanged, window,
                     [window, browser] { window->setWindowTitle(browser->documentTitle()); });
    return window;
}

} // namespace

bool HelpViewer::showTopic(int topic, QWidget* owner) {
    if (!QFile::exists(pageOf(topic)))
        return false;
    QDialog* window = helpWindowOf(owner);
    window->findChild<QTextBrowser*>("HelpPage")->setSource(QUrl("qrc" + pageOf(topic)));
    window->showMaximized();
    window->raise();
    window->activateWindow();
    return true;
}
