#include "FolderListView.h"

#include "FolderList.h"

#include <QDir>
#include <QStyle>

namespace {
constexpr int kPathRole = Qt::UserRole;

QStringList ancestorsAndSelf(const QString& path) {
    QStringList chain;
    QDir dir(path);
    chain.prepend(dir.absolutePath());
    while (dir.cdUp())
        chain.prepend(dir.absolutePath());
    return chain;
}
} // namespace

FolderListView::FolderListView(FolderList& list, QWidget* parent)
    : QListWidget(parent), m_list(list) {
    connect(&m_list, &FolderList::contentsChanged, this, &FolderListView::showFolders);
    connect(this, &QListWidget::itemActivated, this, &FolderListView::open);
    showFolders();
}

void FolderListView::showFolders() {
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QStringList chain = ancestorsAndSelf(m_list.path());
    int depth = 0;
    for (const QString& folder : chain) {
        const QString name = folder == u"/" ? folder : QDir(folder).dirName();
        auto* item = new QListWidgetItem(open, QString(depth * 2, u' ') + name, this);
        item->setData(kPathRole, folder);
        ++depth;
    }
    setCurrentRow(count() - 1);
    for (const QString& folder : m_list.subfolders()) {
        auto* item = new QListWidgetItem(closed, QString(depth * 2, u' ') + QDir(folder).dirName(), this);
        item->setData(kPathRole, folder);
    }
}

void FolderListView::open(QListWidgetItem* item) {
    if (item)
        m_list.setPath(item->data(kPathRole).toString());
}
