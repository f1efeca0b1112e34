#include "FileListView.h"

#include "FileList.h"

#include <QAbstractListModel>

// The names of a file list as rows; the list is read only through the model.
class FileListModel : public QAbstractListModel {
public:
    explicit FileListModel(FileList& list, QObject* parent) : QAbstractListModel(parent), m_list(list) {
        connect(&m_list, &FileList::entriesChanged, this, [this] {
            beginResetModel();
            endResetModel();
        });
    }

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : m_list.count();
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        return m_list.entry(index.row());
    }

private:
    FileList& m_list;
};

FileListView::FileListView(FileList& list, QWidget* parent)
    : QListView(parent), m_list(list), m_model(new FileListModel(list, this)) {
    setModel(m_model);
    setUniformItemSizes(true); // keeps a folder of many thousands of files quick to show
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { rowChosen(current); });
    connect(&m_list, &FileList::Click, this, &FileListView::showListPosition);
    connect(&m_list, &FileList::entriesChanged, this, &FileListView::showListPosition);
}

void FileListView::rowChosen(const QModelIndex& current) {
    if (m_showingPosition)
        return;
    const int row = current.isValid() ? current.row() : -1;
    if (row != m_list.listIndex())
        m_list.setListIndex(row);
}

void FileListView::showListPosition() {
    m_showingPosition = true;
    const QModelIndex index = m_model->index(m_list.listIndex(), 0);
    if (index.isValid()) {
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        scrollTo(index);
    } else {
        selectionModel()->clear();
    }
    m_showingPosition = false;
}
