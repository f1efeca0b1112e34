#pragma once

#include <QListView>

class FileList;
class FileListModel;

// Shows a file list and its selection. Selecting a row with the mouse or the keys sets the
// list's position (which raises its Click); a position set by the program is shown without
// being set again.
class FileListView : public QListView {
    Q_OBJECT

public:
    explicit FileListView(FileList& list, QWidget* parent = nullptr);

private:
    void showListPosition();
    void rowChosen(const QModelIndex& current);

    FileList& m_list;
    FileListModel* m_model;
    bool m_showingPosition = false;
};
