#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QTimer;
class QTreeView;

namespace platform {

// The "Select Directory" dialog: an edit line for a typed directory name ("DirectoryEdit"), a
// list of drives and places ("DriveList"), a folder tree ("FolderList"), and OK ("OkButton") and
// Cancel ("CancelButton"). Picking a folder puts its path into the edit line; the edit line is
// what OK accepts. A relative name is taken inside the folder the dialog opened at.
//
// On OK with a directory that does not exist, asks "The specified directory does not exist.
// Create it?" through dialogs(); Yes creates it (with its missing parents) and accepts; a failure
// shows "Unable to create directory" and the dialog stays open, as it does on No.
class DirectoryChooser : public QDialog {
    Q_OBJECT
  public:
    explicit DirectoryChooser(const QString& start, QWidget* parent = nullptr);

    // The accepted directory: absolute, native separators, no trailing separator except for a
    // root. Empty until the dialog has been accepted.
    QString selectedDirectory() const { return selected_; }

    void accept() override;

  private:
    void showFolder(const QString& path);
    void folderPicked(const QModelIndex& index);

    QString base_;
    QString shownFolder_;
    QString selected_;
    QLineEdit* edit_;
    QComboBox* drives_;
    QTreeView* folders_;
    QFileSystemModel* model_;
    QTimer* scrollAgain_;
};

}  // namespace platform
