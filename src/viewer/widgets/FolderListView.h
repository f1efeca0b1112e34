#pragma once

#include <QListWidget>

class FolderList;

// Shows a folder list: the shown folder's ancestors, the folder itself, then its subfolders,
// each indented by its depth. A double click or Enter on a row opens that folder.
class FolderListView : public QListWidget {
    Q_OBJECT

public:
    explicit FolderListView(FolderList& list, QWidget* parent = nullptr);

private:
    void showFolders();
    void open(QListWidgetItem* item);

    FolderList& m_list;
};
